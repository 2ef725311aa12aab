#include "cad_model.h"

#include <filesystem>

#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPControl_Reader.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ListOfShape.hxx>

#include "velgrin_error.h"

namespace velgrin {

namespace {

std::vector<TopoDS_Shape> subShapes(const TopoDS_Shape& shape, TopAbs_ShapeEnum kind) {
    TopTools_IndexedMapOfShape map;
    TopExp::MapShapes(shape, kind, map);
    std::vector<TopoDS_Shape> out;
    out.reserve(map.Extent());
    for (int i = 1; i <= map.Extent(); ++i) out.push_back(map(i));
    return out;
}

// Host face numbers next to each edge of `body`, in the body's edge order.
std::vector<std::vector<int>> facesOfEdges(const CadBody& body) {
    TopTools_IndexedMapOfShape faceIndex;
    TopExp::MapShapes(body.solid, TopAbs_FACE, faceIndex);
    TopTools_IndexedDataMapOfShapeListOfShape ancestors;
    TopExp::MapShapesAndAncestors(body.solid, TopAbs_EDGE, TopAbs_FACE, ancestors);
    std::vector<std::vector<int>> out(body.edges.size());
    for (std::size_t i = 0; i < body.edges.size(); ++i) {
        const int at = ancestors.FindIndex(body.edges[i]);
        if (at == 0) continue;
        for (const TopoDS_Shape& face : ancestors(at)) {
            const int number = body.firstFace - 1 + faceIndex.FindIndex(face);
            bool seen = false;
            for (int n : out[i]) seen |= n == number;
            if (!seen) out[i].push_back(number);
        }
    }
    return out;
}

// OpenCASCADE's reader reports through the default messenger; the mesher prints its own progress.
void silenceReader() {
    const Handle(Message_Messenger)& messenger = Message::DefaultMessenger();
    messenger->ChangePrinters().Clear();
}

}  // namespace

CadModel CadModel::fromShape(const TopoDS_Shape& shape) {
    CadModel model;
    model.shape_ = shape;
    for (const TopoDS_Shape& solid : subShapes(shape, TopAbs_SOLID)) {
        CadBody body;
        body.solid = solid;
        body.faces = subShapes(solid, TopAbs_FACE);
        body.edges = subShapes(solid, TopAbs_EDGE);
        body.vertices = subShapes(solid, TopAbs_VERTEX);
        body.firstFace = model.faceCount_ + 1;
        body.firstEdge = model.edgeCount_ + 1;
        body.firstVertex = model.vertexCount_ + 1;
        model.faceCount_ += static_cast<int>(body.faces.size());
        model.edgeCount_ += static_cast<int>(body.edges.size());
        model.vertexCount_ += static_cast<int>(body.vertices.size());
        body.edgeFaces = facesOfEdges(body);
        model.bodies_.push_back(std::move(body));
    }
    if (!shape.IsNull()) {
        Bnd_Box box;
        BRepBndLib::Add(shape, box);
        if (!box.IsVoid()) model.diagonal_ = std::sqrt(box.SquareExtent());
    }
    return model;
}

CadModel CadModel::readStep(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw VelgrinError(ExitCode::BadModel,
                           "The STEP model \"" + path + "\" named after MODEL does not exist.");
    silenceReader();
    TopoDS_Shape shape;
    try {
        STEPControl_Reader reader;
        Interface_Static::SetCVal("xstep.cascade.unit", "MM");
        if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
            throw VelgrinError(ExitCode::BadModel,
                               "The STEP model \"" + path + "\" cannot be read as a STEP file.");
        reader.TransferRoots();
        shape = reader.OneShape();
    } catch (const Standard_Failure& failure) {
        throw VelgrinError(ExitCode::BadModel, "The STEP model \"" + path + "\" cannot be read: " +
                                                   std::string(failure.GetMessageString()));
    }
    CadModel model = fromShape(shape);
    if (model.bodies_.empty())
        throw VelgrinError(ExitCode::BadModel,
                           "The STEP model \"" + path + "\" holds no solid body to mesh.");
    return model;
}

double CadModel::volume() const {
    double total = 0;
    for (const CadBody& body : bodies_) {
        GProp_GProps props;
        BRepGProp::VolumeProperties(body.solid, props);
        total += std::abs(props.Mass());
    }
    return total;
}

}  // namespace velgrin
