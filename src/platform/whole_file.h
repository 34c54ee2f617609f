// whole_file.h -- writing a file that is never seen half-written.
//
// The new contents go to a temporary file beside the target (the target's name, a dot, six
// random letters or digits, ".tmp"), are flushed to the disk, and only then replace the target
// by a rename. A full disk, a read-only folder or a crash leaves the old file (or none) under
// the target's name, never a cut one; a failed write removes its temporary.
#pragma once

#include <string>

// Writes `data` as the whole of `path`. False when it could not; `why`, when given, then says
// why in a few words ("No space left on device"). A new file gets `mode` (POSIX permissions);
// a replaced one keeps its own.
bool WriteWholeFile(const std::string& path, const std::string& data, std::string* why = nullptr,
                    unsigned mode = 0644);

// Exactly the name of one of WriteWholeFile's temporaries for `base` (a file name without its
// folder).
bool IsWholeFileTemporaryOf(const std::string& name, const std::string& base);
