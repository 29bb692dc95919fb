#pragma once

// Bounds of the sizes the editing dialogs hand out, in millimetres: a size
// from a file or a setting never reaches the document unbounded.
namespace DialogLimits {
// 100 m: longer than any roll of film.
constexpr double kMaxLength = 100000.0;
// Sizes are shown to a thousandth of a millimetre; none is smaller.
constexpr double kMinLength = 0.001;
constexpr int kLengthDecimals = 3;
constexpr double kMinExpand = 0.01;
constexpr double kMaxExpand = 1000.0;
} // namespace DialogLimits
