#include "GridFinish.h"

#include <algorithm>
#include <climits>

data FinishGrid(int rows, int cols, int spacing, int** values, int least, int greatest, long long marks,
                bool has_nodata, bool nodata_integral, int whole_nodata) {
  int nodata = whole_nodata;
  if (has_nodata && !nodata_integral) {
    nodata = least == INT_MAX ? -9999 : least == INT_MIN ? INT_MIN : least - 1;
    if (marks > 0) {
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
          if (values[r][c] == kNoDataMark) values[r][c] = nodata;
      least = std::min(least, nodata);
      greatest = std::max(greatest, nodata);
    }
  }
  return data{rows, cols, spacing, std::min(least, 100000), std::max(greatest, -100000), values, nodata, has_nodata, GridPlace{}};
}
