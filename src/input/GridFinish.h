// The last step of both grid readers: the NODATA cells get their height and the record of
// the grid is made.
#pragma once

#include "TerrainLoader.h"

// While a grid is read, cells holding a NODATA value with no int form (NaN, -3.4e38) hold
// this mark; FinishGrid gives them their height.
constexpr int kNoDataMark = -2147483647 - 1;

// The grid as the readers leave it in `input`. `least` and `greatest` are the real heights'
// extremes (INT_MAX and INT_MIN when there are none); y_min and y_max start from 100000 and
// -100000. A whole NODATA value is kept as it is; one with no int form is stored, like
// its marked cells, one unit below the least real height (-9999 in a grid without any).
data FinishGrid(int rows, int cols, int spacing, int** values, int least, int greatest, long long marks,
                bool has_nodata, bool nodata_integral, int whole_nodata);
