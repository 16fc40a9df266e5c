#include "settings/registry.h"

#include "folders/model.h"
#include "settings/settings.h"
#include "tasks/refresh.h"

void LoadSettings()
{
    CreateItemColumns();
    CreateFolder("Main", FirstFolderHotKey, 0);
}

void SaveSettings()
{
}
