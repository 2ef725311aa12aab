#pragma once
// Several OpenCASCADE shapes as one compound, in order: a part of several bodies.
#include <vector>

#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>

inline TopoDS_Shape compoundOf(const std::vector<TopoDS_Shape>& shapes) {
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    for (const TopoDS_Shape& shape : shapes) builder.Add(compound, shape);
    return compound;
}
