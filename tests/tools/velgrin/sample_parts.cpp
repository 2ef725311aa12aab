#include "sample_parts.h"

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPControl_Writer.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax2.hxx>

namespace velgrin_test {

namespace {

TopoDS_Shape hole(double x, double y, double z, const gp_Dir& axis, double radius, double length) {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(x, y, z), axis), radius, length).Shape();
}

TopoDS_Shape makeBeam() {
    return BRepPrimAPI_MakeBox(200, 20, 10).Shape();
}

TopoDS_Shape makeBracket() {
    TopoDS_Shape base = BRepPrimAPI_MakeBox(80, 40, 8).Shape();
    TopoDS_Shape upright = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 8), 8, 40, 60).Shape();
    TopoDS_Shape bracket = BRepAlgoAPI_Fuse(base, upright).Shape();
    bracket = BRepAlgoAPI_Cut(bracket, hole(45, 12, -1, gp_Dir(0, 0, 1), 5, 10)).Shape();
    bracket = BRepAlgoAPI_Cut(bracket, hole(65, 28, -1, gp_Dir(0, 0, 1), 5, 10)).Shape();
    bracket = BRepAlgoAPI_Cut(bracket, hole(-1, 20, 45, gp_Dir(1, 0, 0), 6, 10)).Shape();
    return bracket;
}

TopoDS_Shape makePlateWithHole() {
    return BRepAlgoAPI_Cut(BRepPrimAPI_MakeBox(100, 60, 5).Shape(), hole(50, 30, -1, gp_Dir(0, 0, 1), 10, 7))
        .Shape();
}

TopoDS_Shape makeTwoBodies() {
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    builder.Add(compound, BRepPrimAPI_MakeBox(40, 20, 10).Shape());
    builder.Add(compound, hole(70, 10, 0, gp_Dir(0, 0, 1), 8, 30));
    return compound;
}

TopoDS_Shape makeCylinder() {
    return hole(0, 0, 0, gp_Dir(0, 0, 1), 10, 30);
}

}  // namespace

std::vector<SamplePart> sampleParts() {
    return {{"beam", makeBeam()},
            {"bracket", makeBracket()},
            {"plate_with_hole", makePlateWithHole()},
            {"two_bodies", makeTwoBodies()},
            {"cylinder", makeCylinder()}};
}

bool writeStep(const TopoDS_Shape& shape, const std::string& path) {
    Message::DefaultMessenger()->ChangePrinters().Clear();
    STEPControl_Writer writer;
    Interface_Static::SetCVal("write.step.unit", "MM");
    if (writer.Transfer(shape, STEPControl_AsIs) != IFSelect_RetDone) return false;
    return writer.Write(path.c_str()) == IFSelect_RetDone;
}

}  // namespace velgrin_test
