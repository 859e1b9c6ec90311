// The triangle caps Screen Error takes, alike from the panel and the command line.
#pragma once

constexpr int kMinScreenTriangleCap = 1000;
constexpr int kMaxScreenTriangleCap = 100000000;
