#pragma once
// An explorer shown in a panel of a part session named Bracket (a 10 x 20 x 30 box), with the
// add-on loaded into the stand-in host.
#include "addon/command_factory.h"
#include "addon/entry_points.h"
#include "addon_base/library_state.h"
#include "loadcase/loadcase_file.h"
#include "mesh_solve/show_ui_command.h"
#include "support/addon_fixture.h"
#include "ui/window.h"

class ExplorerFixture : public AddOnFixture {
  public:
    ExplorerFixture() {
        setSetting("Projects", scratch.file("projects"));
        AddOnLoad(nullptr, host.hook(), 0);
    }
    ~ExplorerFixture() {
        explorer->OnTerminate();
        addon::resetLibrary();
    }

    void show() { explorer->OnShowUI(&panel); }
    const host::KeyBytes& key(int face) const { return part.body(0).face(face).key(); }
    const host::KeyBytes& bodyKey() const { return part.body(0).key(); }
    // The texts of the explorer's entries of `kind`, in list order.
    std::vector<std::string> texts(model::EntryKind kind) const {
        std::vector<std::string> out;
        for (const auto& e : explorer->document().entries())
            if (e.kind() == kind) out.push_back(e.text());
        return out;
    }
    // The entries of the loadcase file as saved.
    loadcase::EntryList saved() const {
        return loadcase::LoadcaseFile::load(explorer->document().loadcaseFilePath()).entries;
    }
    std::vector<std::string> lines(model::EntryKind kind) const {
        std::vector<std::string> out;
        for (auto item : explorer->tree().children(explorer->sectionItem(kind)))
            out.push_back(explorer->tree().itemText(item));
        return out;
    }

    testhost::Part& part = host.addPartSession("Bracket");
    ui::Panel panel{"FEM Explorer"};
    platform::RefPtr<CShowUICommand> explorer =
        platform::makeRef<CShowUICommand>("Bracket", addon::explorerHooks({}));
};
