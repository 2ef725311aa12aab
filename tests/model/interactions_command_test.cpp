// The Interactions dialog: planes picked with the faces, the value edit, the entries and the file.
#include <gtest/gtest.h>

#include "model/constraints_dialog.h"
#include "model_command_fixture.h"

namespace {

using C = CConstraints;
using Strings = std::vector<std::string>;

class Interactions : public ModelCommandTest {
  protected:
    ui::Dialog& d = start(addon::kMenuInteractions);

    void apply(int code, const std::string& value) {
        d.userChoose(C::kTypeList, code);
        if (d.isVisible(C::kValue)) d.userType(C::kValue, value);
        d.userClick(C::kApply);
    }
};

// A normal gap on a face reaches the solver, whose contact result is checked, in the end-to-end
// runs gap and largegap.

TEST_F(Interactions, GapToPlaneUsesThePlanePickedAmongTheFacesForEach) {
    auto& plane = part.addPlane("Mid", 0.5, -2, 1e-7);
    picks().select(box().face(0), box().face(2), plane, box().face(4));
    apply(2, "0.25");
    EXPECT_EQ(picks().filters(), std::vector<std::int32_t>{2});
    EXPECT_EQ(texts(model::kKindInteraction), Strings(3, "face;gap_to_plane=0.5,-2,1e-07,0.25"));
    EXPECT_EQ(explorer->document().entries()[2].entityKey().bytes(), key(4));
    picks().select(plane, box().face(5));
    apply(0, "-0.5*t");
    EXPECT_EQ(texts(model::kKindInteraction).back(), "face;disp_to_plane=0.5,-2,1e-07,-0.5*t");
}

TEST_F(Interactions, APlaneWhoseValuesFailEndsTheApplyWithAMessage) {
    auto& plane = part.addPlane("Mid", 1, 0, 0);
    picks().select(plane, box().face(0));
    host.failNext("IQDPlaneValues::get_B");
    apply(0, "1");
    EXPECT_EQ(prompts->messageTexts(), Strings{"Exception caught in CConstraints::OnApply"});
    EXPECT_TRUE(explorer->document().entries().empty());
}

// Interactions act on faces: an edge or a vertex among the picks refuses the APPLY, as does a
// value the solver cannot read (named by its box); contact reads no value.
TEST_F(Interactions, EdgesVerticesAndUnreadableValuesAreRefusedContactIgnoresTheValue) {
    picks().select(box().face(3), box().edge(0));
    apply(3, "0.1");
    picks().select(box().vertex(2));
    apply(4, "");
    picks().select(box().face(3));
    apply(3, "abc");
    apply(1, "");
    EXPECT_EQ(
        prompts->messageTexts(),
        (Strings{"\"Normal gap\" acts on faces and cannot act on an edge: select faces",
                 "\"Face to face contact\" acts on faces and cannot act on a vertex: select faces",
                 "Gap, d: \"abc\" is not a number, a table name or a formula (\"abc\" is neither a table nor "
                 "one of the variables x, y, z, t, T)",
                 "Displacement, d: it is empty: type a number, a table name or a formula"}));
    EXPECT_TRUE(explorer->document().entries().empty());
    d.userChoose(C::kTypeList, 1);
    d.userType(C::kValue, "abc");
    apply(4, "");
    EXPECT_FALSE(d.isVisible(C::kValue));
    EXPECT_EQ(texts(model::kKindInteraction), Strings{"face;interface"});
}

TEST_F(Interactions, ApplyNeedsATypeAFaceAndForThePlaneTypesAPlaneAndSaysSoOfADesignPoint) {
    auto& point = part.addDesignPoint({0, 0, 0});
    EXPECT_FALSE(d.isVisible(C::kValue)) << "no value box without its label, before a type is chosen";
    picks().select(box().face(0));
    d.userType(C::kValue, "3");
    d.userClick(C::kApply);
    picks().clear();
    apply(1, "3");
    picks().select(box().face(0), box().face(1));
    apply(2, "1");
    EXPECT_EQ(prompts->messageTexts(),
              (Strings{"Select an interaction type", "Select a face", "Select a plane"}));
    EXPECT_TRUE(explorer->document().entries().empty());
    prompts->clearMessages();
    picks().select(point, box().face(2));
    apply(1, "3");
    EXPECT_EQ(texts(model::kKindInteraction), Strings{"face;normal_disp=3"});
    EXPECT_EQ(prompts->messageTexts(), Strings{C::kDesignPointPassedOver});
}

}  // namespace
