// Round lengths for people to read: 1, 2 or 5 times a power of ten.
#pragma once

// The largest such number not above `limit` (> 0); 0 for a limit that is not positive.
double RoundDown125(double limit);
