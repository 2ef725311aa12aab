#pragma once
// What every add-on test starts from: the stand-in host's objects, headless prompts, an in-memory settings
// store with the add-on's key, and documents and programs folders in a scratch folder.
#include <cstdlib>
#include <memory>

#include "platform/settings_store.h"
#include "support/scratch_folder.h"
#include "support/stand_in_host.h"
#include "ui/headless_prompts.h"

class AddOnFixture {
  public:
    AddOnFixture() {
        ::setenv("KOLVANE_DOCUMENTS_DIR", scratch.file("Documents").c_str(), 1);
        ::setenv("KOLVANE_PROGRAM_FILES_DIR", scratch.file("Programs").c_str(), 1);
        platform::setSettingsStore(settings);
        settings->createKey(platform::Hive::CurrentUser, "Software\\Tarvenic");
    }
    ~AddOnFixture() {
        platform::setSettingsStore(nullptr);
        ui::setPrompts(nullptr);
    }

    // Sets a value of the add-on's key ("InstallPath", "Projects", "CurrentSolver").
    void setSetting(const std::string& name, const std::string& value) {
        settings->writeValue(platform::Hive::CurrentUser, "Software\\Tarvenic\\Tarvenic", name, value);
    }

    ScratchFolder scratch;
    std::shared_ptr<platform::MemorySettingsStore> settings =
        std::make_shared<platform::MemorySettingsStore>();
    std::shared_ptr<ui::HeadlessPrompts> prompts = ui::installHeadlessPrompts();
    testhost::StandInHost host;
};
