#pragma once

namespace HelmSystem {

// How a picture is traced. Pixels darker than the threshold (0 to 255, of
// their grey value) are traced; a negative threshold is chosen from the
// picture (Otsu's method). Specks of up to turdSize pixels are ignored;
// alphaMax steers how round corners come out (0: all sharp).
struct TraceSetting
{
    int threshold = -1;
    int turdSize = 2;
    double alphaMax = 1.0;
};

} // namespace HelmSystem
