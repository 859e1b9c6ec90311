#include "ViewerContours.h"

#include <optional>

#include "Brackenholmer.h"
#include "GridCache.h"
#include "LatestWorker.h"
#include "MeasureGlobals.h"

namespace {

// What a set is made of: the grid and the interval.
struct ContourOrder {
  mesh::QuickGridKey grid{};
  double interval = 0;
  bool operator==(const ContourOrder&) const = default;
};

struct MadeContours {
  ContourOrder order;
  ContourSet set;  // no lines when GDAL failed: the view goes without rather than waits
};

MadeContours BuildContours(const ContourOrder& order, const std::function<bool()>& superseded) {
  MadeContours made{order, {}};
  made.set.interval = order.interval;
  if (!MakeContours(input, order.interval, &made.set, superseded).ok() && superseded()) throw mesh::Superseded{};
  return made;
}

// Destroyed at exit, which stops the work in progress and joins the thread.
LatestWorker<ContourOrder, MadeContours>& Worker() {
  static LatestWorker<ContourOrder, MadeContours> worker(BuildContours);
  return worker;
}

std::optional<ContourOrder> asked;  // the order of the last request
std::optional<ContourSet> shown;
std::optional<ContourOrder> shown_order;  // what `shown` was made for
unsigned long version = 0;

bool Wanted() {
  return show_contours != 0 && contour_interval > 0 && input.values != nullptr && input.rows > 0 && input.cols > 0;
}

ContourOrder CurrentOrder() { return ContourOrder{mesh::QuickKeyOfGrid(input), contour_interval}; }

void Adopt(MadeContours&& made) {
  // Work asked for before ForgetContours belongs to another grid or test.
  if (!asked || !(made.order == *asked)) return;
  shown = std::move(made.set);
  shown_order = made.order;
  ++version;
}

}  // namespace

const ContourSet* UpdateContours() {
  if (Wanted()) {
    const ContourOrder order = CurrentOrder();
    if (!asked || !(*asked == order)) {
      asked = order;
      if (mesh_builds_in_background) Worker().Request(order);
      else Adopt(BuildContours(order, [] { return false; }));
    }
  }
  if (std::optional<MadeContours> made = Worker().Take()) Adopt(std::move(*made));
  return shown ? &*shown : nullptr;
}

unsigned long ContourVersion() { return version; }

bool ContoursPending() { return show_contours != 0 && asked.has_value() && Worker().Pending(); }

bool ContoursReady() { return asked.has_value() && Worker().Ready(); }

void MakeContoursNow() {
  if (!Wanted()) return;
  // A video's frames share one set.
  if (shown_order && *shown_order == CurrentOrder()) return;
  asked = CurrentOrder();
  Adopt(BuildContours(*asked, [] { return false; }));
}

void ForgetContours() {
  asked.reset();
  if (shown) ++version;
  shown.reset();
  shown_order.reset();
}
