#pragma once

// The numbers that the element model, the document and the editor share:
// element type codes (index into the element-name table), the interaction
// modes of the mouse tools, the node indices of box handles, the selection
// handles of a shape and the cursor codes that the document's mouse
// operations hand to the canvas. One home, so that no file spells them as
// bare numbers.

#include <cstdint>

namespace SvgType {
enum Code : std::uint16_t {
    ElementNode = 0, // "element_node"
    AttributeNode = 1, // "attribute_node"
    TextNode = 2, // "text_node"
    CData = 3, // "[CDATA["
    EntityReference = 4, // "entity_reference_node"
    Entity = 5, // "entity_node"
    ProcessingInstruction = 6, // "processing_instruction_node"
    Comment = 7, // "comment_node"
    Document = 8, // "document_node"
    Doctype = 9, // "DOCTYPE"
    DocumentFragment = 10, // "document_fragment_node"
    Notation = 11, // "notation_node"
    A = 12, // "a"
    AltGlyph = 13, // "altglyph"
    AltGlyphDef = 14, // "altglyphdef"
    AltGlyphItem = 15, // "altglyphitem"
    Animate = 16, // "animate"
    AnimateColor = 17, // "animatecolor"
    AnimateMotion = 18, // "animatemotion"
    AnimateTransform = 19, // "animatetransform"
    Circle = 20, // "circle"
    ClipPath = 21, // "clipPath"
    ColorProfile = 22, // "color-profile"
    Cursor = 23, // "cursor"
    DefinitionSrc = 24, // "definition-src"
    Defs = 25, // "defs"
    Desc = 26, // "desc"
    Ellipse = 27, // "ellipse"
    FeBlend = 28, // "feblend"
    FeColormatrix = 29, // "fecolormatrix"
    FeComponenttransfer = 30, // "fecomponenttransfer"
    FeComposite = 31, // "fecomposite"
    FeConvolvematrix = 32, // "feconvolvematrix"
    FeDiffuselighting = 33, // "fediffuselighting"
    FeDisplacementmap = 34, // "fedisplacementmap"
    FeDistantlight = 35, // "fedistantlight"
    FeFlood = 36, // "feflood"
    FeFunca = 37, // "fefunca"
    FeFuncb = 38, // "fefuncb"
    FeFuncg = 39, // "fefuncg"
    FeFuncr = 40, // "fefuncr"
    FeGaussianblur = 41, // "fegaussianblur"
    FeImage = 42, // "feimage"
    FeMerge = 43, // "femerge"
    FeMergenode = 44, // "femergenode"
    FeMorphology = 45, // "femorphology"
    FeOffset = 46, // "feoffset"
    FePointlight = 47, // "fepointlight"
    FeSpecularlighting = 48, // "fespecularlighting"
    FeSpotlight = 49, // "fespotlight"
    FeTile = 50, // "fetile"
    FeTurbulence = 51, // "feturbulence"
    Filter = 52, // "filter"
    Font = 53, // "font"
    FontFace = 54, // "font-face"
    FontFaceFormat = 55, // "font-face-format"
    FontFaceName = 56, // "font-face-name"
    FontFaceSrc = 57, // "font-face-src"
    FontFaceUri = 58, // "font-face-uri"
    ForeignObject = 59, // "foreignobject"
    G = 60, // "g"
    Glyph = 61, // "glyph"
    GlyphRef = 62, // "glyphref"
    Hkern = 63, // "hkern"
    Image = 64, // "image"
    Line = 65, // "line"
    LinearGradient = 66, // "linearGradient"
    Marker = 67, // "marker"
    Mask = 68, // "mask"
    Metadata = 69, // "metadata"
    MissingGlyph = 70, // "missing-glyph"
    Mpath = 71, // "mpath"
    Path = 72, // "path"
    Pattern = 73, // "pattern"
    Polygon = 74, // "polygon"
    Polyline = 75, // "polyline"
    RadialGradient = 76, // "radialGradient"
    Rect = 77, // "rect"
    Script = 78, // "script"
    Set = 79, // "set"
    Stop = 80, // "stop"
    Style = 81, // "style"
    Svg = 82, // "svg"
    Switch = 83, // "switch"
    Symbol = 84, // "symbol"
    Text = 85, // "text"
    TextPath = 86, // "textpath"
    Title = 87, // "title"
    Tref = 88, // "tref"
    Tspan = 89, // "tspan"
    Use = 90, // "use"
    View = 91, // "view"
    Vkern = 92, // "vkern"
    AAudio = 93, // "a:audio"
    TextContent = 94, // "textcontent"
    GTemp = 95, // "gtemp"
    TyLayout = 96, // "tylayout"
};
} // namespace SvgType

namespace EditMode {
enum Mode : int {
    Select = 0,
    Line = 1,
    Rect = 2,
    Circle = 3,
    Ellipse = 4,
    Polyline = 5,
    PolylineDrawing = 6,
    Polygon = 7,
    PolygonDrawing = 8,
    Path = 9,
    Text = 11,
    ZoomIn = 14,
    ZoomOut = 15,
    PasteAt = 17,
    Ruler = 18,
    Mirror = 19,
    Split = 20,
    CutCurve = 21,
    DeletePoint = 22,
    PartialExpand = 23,
    Copy = 24,
    ViewPress = 25,
    CheckOpen = 26,
    MovePoint = 27,
    DeleteFeature = 28,
    AddNode = 31,
};
} // namespace EditMode

// Node indices of the eight box handles, clockwise from the left-top corner.
namespace HandleIndex {
enum Index : int {
    LeftTop = 10000,
    Top = 10001,
    RightTop = 10002,
    Right = 10003,
    RightBottom = 10004,
    Bottom = 10005,
    LeftBottom = 10006,
    Left = 10007,
};
} // namespace HandleIndex

// The codes of the selection handles of a shape's box (hitTestHandle),
// clockwise from the top-left corner, and the rotation handle above the top
// edge.
namespace SelectionHandle {
enum Code : int {
    None = -1,
    TopLeft = 100001,
    Top = 100002,
    TopRight = 100003,
    Right = 100004,
    BottomRight = 100005,
    Bottom = 100006,
    BottomLeft = 100007,
    Left = 100008,
    Rotation = 100009,
};
} // namespace SelectionHandle

// What the canvas shows as its cursor after a mouse operation.
namespace CursorCode {
enum Code : int {
    Default = 0,
    Drawing = 1,
    ZoomIn = 2,
    ZoomOut = 3,
    OverNode = 4,
    HandOpen = 5,
    OverSelection = 6,
    HandClosed = 7,
    Copy = 8,
    SizeHorizontal = 9,
    SizeVertical = 10,
    SizeBDiagonal = 11,
    SizeFDiagonal = 12,
};
} // namespace CursorCode
