// loading.cpp -- the title's loading frame.
#include "app/loading.h"

#include "assets/catalogue.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/world.h"
#include "ui/hud.h"

void TitleLoadingFrame() {
    LoadCatalogue();
    CreatePlayerSprites();
    CreateHudSprites();

    BuildDirectionTables();

    CreateBulletPool();
    CreateBossPool();
    CreateEffectPool();
    CreateItemPool();
    CreatePanelPool();

    LoadTitlePictures();
    menus.menuBarY = 296;
}
