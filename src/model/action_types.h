#pragma once
// The action types of the actions dialog, by analysis class: list text, how many values they
// take, the prompt, value and unit labels, and the entry text they make.
#include <string>
#include <vector>

#include "loadcase/analysis_code.h"

namespace model {

using loadcase::AnalysisClass;

// The sorts of picked geometry an action can act on.
enum ActionTarget : unsigned {
    kOnFaces = 1,     // over the face's area
    kOnEdges = 2,     // per length along the edge
    kOnVertices = 4,  // at the vertex's node (design points too)
    kOnBody = 8,      // a whole-body action: any pick of the body names it
};

// The sort of one picked entity.
enum class PickedSort { Face, Edge, Vertex };

struct ActionType {
    const char* listText;
    int valueCount;      // 1, 2 or 3 value edits
    const char* prompt;  // the second prompt
    const char* label;   // the value label
    const char* unitMm;  // unit label for millimetre, metre and inch documents
    const char* unitM;
    const char* unitIn;
    bool anyUnit;          // the mm label serves every unit system
    const char* textHead;  // the entry text up to the first value
    unsigned targets;      // ActionTarget bits
    const char* actsOn;    // what to select, as a message names it
};

// The action types of a loadcase of class `cls`, in list order (the action code).
const std::vector<ActionType>& actionTypes(AnalysisClass cls);

// The unit label of `type` for a document whose unit text is `unitText`; nullptr when the unit
// system has no label of its own (cm, ft), so the label keeps its text.
const char* actionUnitLabel(const ActionType& type, const std::string& unitText);

// The entry text of action `code` with the three value texts: the type's head, the first value,
// and for the types that take them ", " and the second and third values.
std::string actionText(AnalysisClass cls, int code, const std::string& v1, const std::string& v2,
                       const std::string& v3);

// True when the action acts on a picked entity of `sort`.
bool actsOn(const ActionType& type, PickedSort sort);

// The entry text of action `code` on a picked entity of `sort`: the text of actionText, whose
// "face;" head names the entity that carries it ("edge;load=...", "vertex;heat=...").
std::string actionTextOn(AnalysisClass cls, int code, PickedSort sort, const std::string& v1,
                         const std::string& v2, const std::string& v3);

// The message refusing action `type` on a picked entity of `sort`.
std::string refusalOn(const ActionType& type, PickedSort sort);

// The text of a heat on design point `number`: "point<3>;heat=v1".
std::string designPointHeatText(int number, const std::string& v1);

// True for the thermal action that puts a heat on a picked design point (heat flux, in a thermal
// or a Multiphysics loadcase).
bool heatsDesignPoints(AnalysisClass cls, int code);

// The text of a force on design point `number`: "point<3>;force=v1,v2,v3".
std::string designPointForceText(int number, const std::string& v1, const std::string& v2,
                                 const std::string& v3);

// True for the mechanical actions that put a force on a picked design point (point force,
// distributed load and acceleration: codes 0, 1 and 3 in a mechanical or a Multiphysics loadcase).
bool forcesDesignPoints(AnalysisClass cls, int code);

}  // namespace model
