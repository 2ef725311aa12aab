#include "ui/dialog.h"

#include <gtest/gtest.h>

#include "ui/headless_prompts.h"

namespace {

using namespace ui;

DialogTemplate sampleTemplate() {
    DialogTemplate t;
    t.id = 500;
    t.caption = "Sample";
    t.add(10, ControlKind::Edit, "start", {})
        .add(11, ControlKind::Button, "APPLY", {})
        .add(12, ControlKind::ListBox, "", {}, kStyleNotify)
        .add(13, ControlKind::ComboBox, "", {}, kStyleSorted)
        .add(20, ControlKind::Radio, "A", {}, kStyleGroup)
        .add(21, ControlKind::Radio, "B", {})
        .add(22, ControlKind::Radio, "C", {})
        .add(30, ControlKind::Radio, "X", {}, kStyleGroup)
        .add(31, ControlKind::Radio, "Y", {})
        .add(40, ControlKind::CheckBox, "Check", {})
        .add(50, ControlKind::Slider, "", {})
        .add(60, ControlKind::Button, "Hidden", {}, kStyleHidden)
        .add(61, ControlKind::Button, "Disabled", {}, kStyleDisabled);
    return t;
}

struct Counts {
    int clicks = 0, edits = 0, selections = 0, scrolls = 0, lastCode = -1, lastPos = -1;
};

class Sample : public Dialog {
  public:
    explicit Sample(Counts& c) : Dialog(sampleTemplate()), c_(c) {
        onClick(11, [this] { ++c_.clicks; });
        onEditChange(10, [this] { ++c_.edits; });
        onSelectionChange(12, [this] { ++c_.selections; });
        onScroll(50, [this](int code, int pos) {
            ++c_.scrolls;
            c_.lastCode = code;
            c_.lastPos = pos;
        });
    }
    int inits = 0;

  protected:
    bool onInitDialog() override {
        ++inits;
        addItem(12, "first");
        return true;
    }

  private:
    Counts& c_;
};

class DialogTest : public ::testing::Test {
  protected:
    Counts c;
    Sample d{c};
};

TEST_F(DialogTest, CreateBuildsControlsFromTemplateAndRegistersByCaptionUntilDestroyed) {
    EXPECT_FALSE(d.isCreated());
    EXPECT_EQ(findDialog("Sample"), nullptr);
    d.create();
    EXPECT_TRUE(d.isCreated());
    EXPECT_EQ(d.inits, 1);
    EXPECT_EQ(d.text(10), "start");
    EXPECT_EQ(d.itemCount(12), 1);
    EXPECT_FALSE(d.isVisible(60));
    EXPECT_FALSE(d.isEnabled(61));
    EXPECT_EQ(findDialog("Sample"), &d);
    d.setCaption("Renamed");
    EXPECT_EQ(findDialog("Sample"), nullptr);
    EXPECT_EQ(findDialog("Renamed"), &d);
    d.userPressEscape();  // a modeless end hides the window but keeps it
    EXPECT_TRUE(d.hasEnded());
    EXPECT_EQ(d.endCode(), kIdCancel);
    EXPECT_FALSE(d.isShown());
    EXPECT_TRUE(d.isCreated());
    d.destroy();
    EXPECT_EQ(findDialog("Renamed"), nullptr);
    EXPECT_THROW(d.text(999), UiError);
}

TEST_F(DialogTest, UserActionsSendTheirNotificationsOnlyToAbleControls) {
    EXPECT_FALSE(d.userClick(11)) << "no action before the window exists";
    d.create();
    EXPECT_TRUE(d.userType(10, "abc"));
    EXPECT_EQ(d.text(10), "abc");
    EXPECT_EQ(c.edits, 1);
    d.setText(10, "quiet");  // program changes send nothing
    EXPECT_EQ(c.edits, 1);
    EXPECT_TRUE(d.userClick(11));
    EXPECT_EQ(c.clicks, 1);
    d.enable(11, false);
    EXPECT_FALSE(d.userClick(11));
    EXPECT_FALSE(d.userClick(60));
    EXPECT_EQ(c.clicks, 1);
    EXPECT_FALSE(d.userChoose(12, 5));
    EXPECT_TRUE(d.userChoose(12, 0));
    EXPECT_EQ(d.selection(12), 0);
    EXPECT_EQ(c.selections, 1);
    EXPECT_FALSE(d.userType(11, "not an edit"));
    d.setRange(50, 0, 10);
    d.setPosition(50, 25);
    EXPECT_EQ(d.position(50), 10);
    EXPECT_TRUE(d.userSlide(50, -3, kScrollThumbTrack));
    EXPECT_EQ(c.lastPos, 0);
    EXPECT_EQ(c.lastCode, kScrollThumbTrack);
    EXPECT_FALSE(d.userSlide(10, 3));
}

TEST_F(DialogTest, RadioButtonsUncheckTheOthersOfTheirGroupOnly) {
    d.create();
    d.userClick(30);
    d.userClick(20);
    d.userClick(22);
    EXPECT_FALSE(d.isChecked(20));
    EXPECT_FALSE(d.isChecked(21));
    EXPECT_TRUE(d.isChecked(22));
    EXPECT_TRUE(d.isChecked(30)) << "a second group keeps its choice";
    d.userClick(31);
    EXPECT_FALSE(d.isChecked(30));
    EXPECT_TRUE(d.isChecked(22));
    d.userClick(40);
    EXPECT_TRUE(d.isChecked(40));
    d.userClick(40);
    EXPECT_FALSE(d.isChecked(40));
}

TEST_F(DialogTest, ListsKeepOrderSortingSelectionAndData) {
    d.create();
    d.addItem(13, "pear");
    d.addItem(13, "apple");
    EXPECT_EQ(d.addItem(13, "banana"), 1);
    EXPECT_EQ(d.itemText(13, 0), "apple");
    EXPECT_EQ(d.itemText(13, 2), "pear");
    EXPECT_EQ(d.itemText(13, 3), "");
    d.setSelection(13, 2);
    EXPECT_EQ(d.text(13), "pear") << "a combo box shows its choice";
    d.addItem(13, "aardvark");
    EXPECT_EQ(d.selection(13), 3) << "the selection follows its item";
    d.deleteItem(13, 0);
    EXPECT_EQ(d.selection(13), 2);
    EXPECT_EQ(d.findItemExact(13, "banana"), 1);
    EXPECT_EQ(d.findItemExact(13, "banan"), -1);
    d.deleteItem(13, 2);
    EXPECT_EQ(d.selection(13), -1);
}

}  // namespace
