// kolvane-sample-parts DIR: builds the sample parts with OpenCASCADE and writes them into DIR:
// bracket.step (an L-bracket with holes), beam.step and beam.brep (a cantilever 200 x 20 x 10 mm),
// plate.step (a plate with a central hole), long_plate.step (a strip 300 x 100 x 5 mm with a central
// hole of radius 10 mm, long enough for uniform tension at the hole), two_solids.step (a part of two
// solids), tube.step (a thick-walled tube, inner radius 10 mm, outer 20 mm, length 40 mm), and the
// flow parts: pipe.step (radius 5 mm, 50 mm long along z), channel.step (a channel 2500 x 410 x 410 mm
// round a cylinder of diameter 100 mm across it at x = 500, y = 200), cavity.step (a 100 mm cube),
// cavity_slab.step (a square cavity 100 x 100 mm in xy, 5 mm thick along z, for plane flow between
// slip walls), duct.step (a square duct of 20 mm bent round a right angle), sphere_tube.step (a
// tube of radius 10 mm, 100 mm long along x, round a sphere of radius 2 mm at its middle, x = 50),
// quarter_pipe.step (the quarter x, y >= 0 of a pipe of radius 5 mm, 50 mm long along z, its
// wall two faces split at z = 25, for heat carried by the flow between two symmetry planes) and
// l_plate.step (an L of two legs 100 x 50 mm in xy, 10 mm thick along z, meeting in a re-entrant
// corner at x = y = 50), cold_plate.step (a block 40 x 20 x 5 mm and the water of a channel 8 mm wide and 4
// mm high along x on its top, 5 mm longer at each end, two solids that share the part of the channel's floor
// on the block), and the parts of the gas flows: shock_tube.step (a square duct 1000 x 20 x 20 mm along x),
// nozzle.step (the upper half of a plane converging-diverging nozzle, 200 mm long, 5 mm deep), wedge.step (a
// channel 100 x 80 mm with a 10 degree ramp in its floor, 5 mm deep) and half_cylinder_slab.step (the half
// y >= 0 of a slab 240 x 240 x 5 mm round a cylinder of diameter 10 mm at its middle).
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>

#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_BuilderAlgo.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <Geom_BezierCurve.hxx>
#include <ShapeUpgrade_UnifySameDomain.hxx>
#include <Standard_Failure.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax2.hxx>
#include <gp_Vec.hxx>

#include "documents/occt_document.h"

namespace {

TopoDS_Shape hole(double x, double y, double z, const gp_Dir& along, double radius, double length) {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(x, y, z), along), radius, length).Shape();
}

// Merges the faces a boolean operation split along the seams of its operands.
TopoDS_Shape unified(const TopoDS_Shape& shape) {
    ShapeUpgrade_UnifySameDomain unify(shape, true, true, true);
    unify.Build();
    return unify.Shape();
}

// A base 80 x 40 x 8 with two holes of radius 5, and an upright 8 x 40 x 60 at x = 0 with one
// hole of radius 6.
TopoDS_Shape bracket() {
    TopoDS_Shape base = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 80, 40, 8).Shape();
    TopoDS_Shape upright = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 8, 40, 60).Shape();
    TopoDS_Shape shape = unified(BRepAlgoAPI_Fuse(base, upright).Shape());
    shape = BRepAlgoAPI_Cut(shape, hole(55, 12, -1, gp::DZ(), 5, 10)).Shape();
    shape = BRepAlgoAPI_Cut(shape, hole(55, 28, -1, gp::DZ(), 5, 10)).Shape();
    shape = BRepAlgoAPI_Cut(shape, hole(-1, 20, 40, gp::DX(), 6, 10)).Shape();
    return unified(shape);
}

TopoDS_Shape beam() {
    return BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 200, 20, 10).Shape();
}

TopoDS_Shape plate() {
    TopoDS_Shape slab = BRepPrimAPI_MakeBox(gp_Pnt(-50, -50, 0), 100, 100, 5).Shape();
    return unified(BRepAlgoAPI_Cut(slab, hole(0, 0, -1, gp::DZ(), 10, 7)).Shape());
}

// Three widths long, so that tension applied at the ends is uniform again well before the hole.
TopoDS_Shape longPlate() {
    TopoDS_Shape strip = BRepPrimAPI_MakeBox(gp_Pnt(-150, -50, 0), 300, 100, 5).Shape();
    return unified(BRepAlgoAPI_Cut(strip, hole(0, 0, -1, gp::DZ(), 10, 7)).Shape());
}

// The L's legs: [0, 100] x [0, 50] and [0, 50] x [0, 100], 10 mm thick; the edge x = y = 50 is the
// re-entrant corner, where the stresses of a load that bends the L are singular.
TopoDS_Shape lPlate() {
    TopoDS_Shape across = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 100, 50, 10).Shape();
    TopoDS_Shape up = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 50, 100, 10).Shape();
    return unified(BRepAlgoAPI_Fuse(across, up).Shape());
}

TopoDS_Shape twoSolids() {
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    builder.Add(compound, BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 50, 20, 10).Shape());
    builder.Add(compound, BRepPrimAPI_MakeBox(gp_Pnt(60, 0, 0), 30, 20, 10).Shape());
    return compound;
}

TopoDS_Shape tube() {
    TopoDS_Shape outer = BRepPrimAPI_MakeCylinder(20, 40).Shape();
    return BRepAlgoAPI_Cut(outer, hole(0, 0, -1, gp::DZ(), 10, 42)).Shape();
}

TopoDS_Shape pipe() {
    return BRepPrimAPI_MakeCylinder(5, 50).Shape();
}

// The channel of the steady flow past a cylinder in three dimensions, in millimetres: the cylinder
// spans the channel's height (z), a little below the middle of its width (y), so it is lifted.
TopoDS_Shape channel() {
    TopoDS_Shape box = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 2500, 410, 410).Shape();
    return unified(BRepAlgoAPI_Cut(box, hole(500, 200, -1, gp::DZ(), 50, 412)).Shape());
}

TopoDS_Shape cavity() {
    return BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 100, 100, 100).Shape();
}

// The square cavity as a thin slab: with slip walls on its two large faces the flow in it is
// exactly the plane flow of the square.
TopoDS_Shape cavitySlab() {
    return BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 100, 100, 5).Shape();
}

// Two legs of 20 x 20 mm section: along x from x = 0 to 100, then along y up to y = 100.
TopoDS_Shape duct() {
    TopoDS_Shape along = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 100, 20, 20).Shape();
    TopoDS_Shape up = BRepPrimAPI_MakeBox(gp_Pnt(80, 0, 0), 20, 100, 20).Shape();
    return unified(BRepAlgoAPI_Fuse(along, up).Shape());
}

// The fluid round a sphere on the axis of a circular tube: the tube along x from 0 to 100, radius
// 10 mm, the sphere of radius 2 mm at its middle cut out.
TopoDS_Shape sphereTube() {
    TopoDS_Shape tube = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, 0), gp::DX()), 10, 100).Shape();
    return BRepAlgoAPI_Cut(tube, BRepPrimAPI_MakeSphere(gp_Pnt(50, 0, 0), 2).Shape()).Shape();
}

// The block (x 0..40, y 0..20, z 0..5) and the water of the channel on its top (x -5..45, y 6..14,
// z 5..9) split against each other: the block's top is cut along the channel's sides and the
// channel's floor at the block's ends, and the part in between becomes one face of both solids, so
// that the mesher meshes it once and the two bodies share its nodes. The channel's ends lie off
// the block, so that its inlet and outlet touch only water.
TopoDS_Shape coldPlate() {
    TopTools_ListOfShape solids;
    solids.Append(BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 40, 20, 5).Shape());
    solids.Append(BRepPrimAPI_MakeBox(gp_Pnt(-5, 6, 5), 50, 8, 4).Shape());
    BRepAlgoAPI_BuilderAlgo fragments;
    fragments.SetArguments(solids);
    fragments.Build();
    if (!fragments.IsDone()) throw Standard_Failure("the cold plate's solids do not split");
    return fragments.Shape();
}

// The quarter of pipe() between the planes x = 0 and y = 0, fused from its halves z < 25 and z > 25
// so that the wall keeps the circle at z = 25 and is an upstream and a downstream face (each can
// be held on its own, and the solver's log gives the heat through each); the symmetry planes are
// merged again into one face each.
TopoDS_Shape quarterPipe() {
    const auto quarter = [](double z, double length) {
        return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, z), gp::DZ()), 5, length, std::numbers::pi / 2)
            .Shape();
    };
    const TopoDS_Shape fused = BRepAlgoAPI_Fuse(quarter(0, 25), quarter(25, 25)).Shape();
    ShapeUpgrade_UnifySameDomain unify(fused, true, true, true);
    for (TopExp_Explorer e(fused, TopAbs_EDGE); e.More(); e.Next()) {
        const BRepAdaptor_Curve curve(TopoDS::Edge(e.Current()));
        if (curve.GetType() == GeomAbs_Circle &&
            std::abs(curve.Value(curve.FirstParameter()).Z() - 25) < 1e-9)
            unify.KeepShape(e.Current());
    }
    unify.Build();
    return unify.Shape();
}

// The gas flows are plane flows between slip walls: an outline in the plane z = 0 swept 5 mm
// along z.
TopoDS_Shape planeFlow(const TopoDS_Wire& outline) {
    return BRepPrimAPI_MakePrism(BRepBuilderAPI_MakeFace(outline, true).Face(), gp_Vec(0, 0, 5)).Shape();
}

// Faces: 1 x = 0, 2 x = 1000, 3 y = 0, 4 y = 20, 5 z = 0, 6 z = 20.
TopoDS_Shape shockTube() {
    return BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 1000, 20, 20).Shape();
}

// The half y >= 0 of a plane nozzle of height h(x) = 10 (1 + 6e-5 (x - 100)^2) mm for x from 0 to
// 200: a throat of 10 mm at x = 100, inlet and exit 16 mm high (area ratio 1.6), the wall at most
// 6.8 degrees steep. The quadratic Bezier arc through (0, 16), (100, 4), (200, 16) is that parabola
// exactly (x is linear in its parameter).
// Faces: 1 y = 0, 2 x = 200, 3 the wall, 4 x = 0, 5 z = 0, 6 z = 5.
TopoDS_Shape nozzle() {
    TColgp_Array1OfPnt poles(1, 3);
    poles(1) = gp_Pnt(200, 16, 0);
    poles(2) = gp_Pnt(100, 4, 0);
    poles(3) = gp_Pnt(0, 16, 0);
    BRepBuilderAPI_MakeWire outline;
    outline.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 0), gp_Pnt(200, 0, 0)).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(200, 0, 0), gp_Pnt(200, 16, 0)).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(new Geom_BezierCurve(poles)).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(0, 16, 0), gp_Pnt(0, 0, 0)).Edge());
    return planeFlow(outline.Wire());
}

// A channel for a supersonic stream along x over a ramp of 10 degrees: the floor y = 0 from x = 0
// to 20, then the ramp up to the outflow x = 100 (14.1 mm high there), the top y = 80. The
// oblique shock of a Mach 2 stream (39.3 degrees) leaves through the outflow 65 mm above the
// ramp's foot, below the top.
// Faces: 1 the floor, 2 the ramp, 3 x = 100, 4 y = 80, 5 x = 0, 6 z = 0, 7 z = 5.
TopoDS_Shape wedge() {
    const double rampTop = 80 * std::tan(10 * std::numbers::pi / 180);
    BRepBuilderAPI_MakePolygon outline;
    for (const gp_Pnt& p :
         {gp_Pnt(0, 0, 0), gp_Pnt(20, 0, 0), gp_Pnt(100, rampTop, 0), gp_Pnt(100, 80, 0), gp_Pnt(0, 80, 0)})
        outline.Add(p);
    outline.Close();
    return planeFlow(outline.Wire());
}

// Plane flow round a cylinder: the half y >= 0 of a slab 240 x 240 mm (x from -120 to 120), 5 mm
// deep, round a cylinder of diameter 10 mm on the z axis, so that the far field lies 12 diameters
// away. Plane flow has no drag as flow round a sphere has none, on a mesh of a few layers across the
// slab instead of one that fills a box; the face y = 0 is the flow's plane of symmetry, which also
// keeps the scheme from settling on a circulation round the cylinder (a lift) that an inviscid
// steady flow would otherwise keep.
TopoDS_Shape halfCylinderSlab() {
    TopoDS_Shape slab = BRepPrimAPI_MakeBox(gp_Pnt(-120, 0, 0), 240, 120, 5).Shape();
    return unified(BRepAlgoAPI_Cut(slab, hole(0, 0, -1, gp::DZ(), 5, 7)).Shape());
}

bool write(const std::filesystem::path& folder, const std::string& name, const TopoDS_Shape& shape) {
    const std::string path = (folder / name).string();
    if (hostapp::OcctDocument(shape).exportStep(path)) return true;
    std::fprintf(stderr, "kolvane-sample-parts: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kolvane-sample-parts DIR\n");
        return 2;
    }
    hostapp::silenceOcctMessages();
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    try {
        bool ok = write(folder, "bracket.step", bracket());
        ok = write(folder, "beam.step", beam()) && ok;
        ok = BRepTools::Write(beam(), (folder / "beam.brep").string().c_str()) && ok;
        ok = write(folder, "plate.step", plate()) && ok;
        ok = write(folder, "long_plate.step", longPlate()) && ok;
        ok = write(folder, "l_plate.step", lPlate()) && ok;
        ok = write(folder, "two_solids.step", twoSolids()) && ok;
        ok = write(folder, "tube.step", tube()) && ok;
        ok = write(folder, "pipe.step", pipe()) && ok;
        ok = write(folder, "channel.step", channel()) && ok;
        ok = write(folder, "cavity.step", cavity()) && ok;
        ok = write(folder, "cavity_slab.step", cavitySlab()) && ok;
        ok = write(folder, "duct.step", duct()) && ok;
        ok = write(folder, "sphere_tube.step", sphereTube()) && ok;
        ok = write(folder, "cold_plate.step", coldPlate()) && ok;
        ok = write(folder, "quarter_pipe.step", quarterPipe()) && ok;
        ok = write(folder, "shock_tube.step", shockTube()) && ok;
        ok = write(folder, "nozzle.step", nozzle()) && ok;
        ok = write(folder, "wedge.step", wedge()) && ok;
        ok = write(folder, "half_cylinder_slab.step", halfCylinderSlab()) && ok;
        return ok ? 0 : 1;
    } catch (const Standard_Failure& failure) {
        std::fprintf(stderr, "kolvane-sample-parts: %s\n", failure.GetMessageString());
        return 1;
    }
}
