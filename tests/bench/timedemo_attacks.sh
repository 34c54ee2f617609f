#!/usr/bin/env bash
# timedemo_attacks.sh -- per attack, from the file `mirrorfall --timedemo REPLAY --timedemo-csv
# FILE` writes: frames, average frame rate, 99th-percentile and worst frame time. Attack 0 is
# the stage's opening before the boss arrives. Usage: tests/bench/timedemo_attacks.sh FILE
set -euo pipefail
csv="${1:?usage: timedemo_attacks.sh TIMEDEMO_CSV}"
# Columns: frame,frame_counter,replay_frame,attack,ms
tail -n +2 "$csv" | sort -t, -k4,4n -k5,5g | awk -F, '
    function report() {
        if (n == 0) return
        rank = int(0.99 * n); if (rank < 0.99 * n) rank++; if (rank < 1) rank = 1
        printf "attack %d: %5d frames  %7.1f fps  p99 %6.2f ms  worst %6.2f ms\n",
               attack, n, n * 1000 / sum, t[rank], t[n]
    }
    $4 != attack && n > 0 { report(); n = 0; sum = 0 }
    { attack = $4; n++; t[n] = $5; sum += $5 }
    END { report() }'
