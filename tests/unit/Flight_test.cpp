#include "Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

Keyframe Key(double x, double y, double z, double tilt, double heading, double seconds) {
  return Keyframe{CameraPlace{x, y, z, tilt, heading}, seconds};
}

void ExpectSame(const CameraPlace& a, const CameraPlace& b) {
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.y, b.y);
  EXPECT_EQ(a.z, b.z);
  EXPECT_EQ(a.tilt, b.tilt);
  EXPECT_EQ(a.heading, b.heading);
}

Flight RandomFlight(std::mt19937& engine, int n) {
  std::uniform_real_distribution<double> place(-1e5, 1e5), tilt(-89.5, 89.5), heading(-720, 720), gap(0.05, 7);
  Flight flight;
  double t = gap(engine) - 0.05;
  for (int i = 0; i < n; ++i, t += gap(engine)) flight.push_back(Key(place(engine), place(engine), place(engine), tilt(engine), heading(engine), t));
  return flight;
}

std::string Failure(const std::string& text) {
  Flight flight;
  const Status read = ParseFlight(text, "f.txt", &flight);
  EXPECT_FALSE(read.ok());
  return read.reason();
}

TEST(Flight, TextReadsBackExactly) {
  EXPECT_EQ(FlightText({Key(-30000, 22000, 30000, 30, -45, 0), Key(0.5, 1, 2, -89.5, 350, 2.25)}),
            "# X,Y,Z,TILT,HEADING,SECONDS\n-30000,22000,30000,30,-45,0\n0.5,1,2,-89.5,350,2.25\n");
  std::mt19937 engine(7);
  for (int round = 0; round < 200; ++round) {
    const Flight flight = RandomFlight(engine, 2 + round % 5);
    Flight read;
    ASSERT_TRUE(ParseFlight(FlightText(flight), "f.txt", &read).ok());
    ASSERT_EQ(read.size(), flight.size());
    for (size_t i = 0; i < flight.size(); ++i) {
      ExpectSame(read[i].camera, flight[i].camera);
      EXPECT_EQ(read[i].seconds, flight[i].seconds);
    }
  }
}

TEST(Flight, ReasonsNameTheLine) {
  const std::string head = "# a flight\n\n1,2,3,4,5,0   # start\n";
  EXPECT_EQ(Failure(head + "1,2,3,90,5,1\n"), "f.txt line 4: TILT must be from -89.5 to 89.5");
  EXPECT_EQ(Failure(head + "\n1,2,3,4,5,0\n"), "f.txt line 5: SECONDS must grow from one keyframe to the next");
  EXPECT_EQ(Failure(head + "1,2,3,4,5\n"), "f.txt line 4: a keyframe is six numbers X,Y,Z,TILT,HEADING,SECONDS");
  EXPECT_EQ(Failure(head + "1,2,3,4,5,6,7\n"), "f.txt line 4: a keyframe is six numbers X,Y,Z,TILT,HEADING,SECONDS");
  EXPECT_EQ(Failure(head + "1,two,3,4,5,6\n"), "f.txt line 4: Y is not a number within +-1e15: \"two\"");
  EXPECT_EQ(Failure("1,2,3,4,5,-1\n1,2,3,4,5,1\n"), "f.txt line 1: SECONDS must not be negative");
  EXPECT_EQ(Failure(head), "f.txt: a flight needs at least two keyframes, and it has 1");
  Flight flight;
  ASSERT_TRUE(ParseFlight(head + " 7 , 8,9,-89.5,10,1.5\r\n", "f.txt", &flight).ok());
  ASSERT_EQ(flight.size(), 2u);
  ExpectSame(flight[1].camera, CameraPlace{7, 8, 9, -89.5, 10});
  EXPECT_EQ(flight[1].seconds, 1.5);
}

TEST(Flight, KeyframesExactlyAtTheirTimes) {
  std::mt19937 engine(11);
  for (int round = 0; round < 100; ++round) {
    const Flight flight = RandomFlight(engine, 2 + round % 6);
    for (const Keyframe& k : flight) ExpectSame(CameraAt(flight, k.seconds), k.camera);
    ExpectSame(CameraAt(flight, flight.front().seconds - 5), flight.front().camera);
    ExpectSame(CameraAt(flight, flight.back().seconds + 5), flight.back().camera);
  }
}

// Keyframes on a straight line at a steady speed, unevenly spaced in time: the camera at
// any time is the line's point, whatever the spacing.
TEST(Flight, SteadyStraightFlightStaysSteady) {
  const double times[] = {0, 0.3, 1.7, 2, 5.5};
  auto at = [](double t) { return CameraPlace{100 + 40 * t, 2000 - 25 * t, -300 + 7 * t, -20 + 8 * t, 30 - 12 * t}; };
  Flight flight;
  for (double t : times) flight.push_back({at(t), t});
  for (double t = 0; t <= 5.5; t += 0.01) {
    const CameraPlace got = CameraAt(flight, t), want = at(t);
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.y, want.y, 1e-9);
    EXPECT_NEAR(got.z, want.z, 1e-9);
    EXPECT_NEAR(got.tilt, want.tilt, 1e-9);
    EXPECT_NEAR(got.heading, want.heading, 1e-9);
  }
}

TEST(Flight, HeadingTurnsTheShortWay) {
  // Two keyframes turn at a steady rate: 350 to 10 through 0, 10 to -350 (= 10) not at all,
  // 10 to 350 back through 0.
  const struct { double from, to, rate; } turns[] = {{350, 10, 20}, {10, -350, 0}, {10, 350, -20}, {-170, 170, -20}};
  for (const auto& turn : turns) {
    const Flight flight = {Key(0, 0, 0, 0, turn.from, 0), Key(0, 0, 0, 0, turn.to, 1)};
    for (double t = 0; t <= 1; t += 0.05) {
      const double off = std::remainder(CameraAt(flight, t).heading - (turn.from + turn.rate * t), 360.0);
      EXPECT_NEAR(off, 0, 1e-9) << turn.from << " to " << turn.to << " at " << t;
    }
  }
}

// The velocity, by finite differences, is the same on either side of an interior keyframe.
TEST(Flight, VelocityIsContinuousAtKeyframes) {
  std::mt19937 engine(3);
  const double e = 1e-6;
  for (int round = 0; round < 50; ++round) {
    const Flight flight = RandomFlight(engine, 4);
    for (size_t i = 1; i + 1 < flight.size(); ++i) {
      const double t = flight[i].seconds;
      const CameraPlace before = CameraAt(flight, t - e), at = CameraAt(flight, t), after = CameraAt(flight, t + e);
      auto check = [&](double b, double a, double n, const char* what) {
        const double left = (a - b) / e, right = (n - a) / e;
        EXPECT_NEAR(left, right, 1e-3 * (1 + std::fabs(left))) << what << " at keyframe " << i;
      };
      check(before.x, at.x, after.x, "x");
      check(before.z, at.z, after.z, "z");
      if (std::fabs(at.tilt) < 89) check(before.tilt, at.tilt, after.tilt, "tilt");
      check(std::remainder(before.heading - at.heading, 360.0), 0, std::remainder(after.heading - at.heading, 360.0),
            "heading");
    }
  }
}

TEST(Flight, FramesEndOnTheLastKeyframe) {
  const Flight ten = {Key(0, 0, 0, 0, 0, 0), Key(0, 0, 0, 0, 0, 10)};
  EXPECT_EQ(FlightFrames(ten, 30), 301);
  EXPECT_EQ(FrameSeconds(ten, 30, 150), 5.0);
  const Flight odd = {Key(0, 0, 0, 0, 0, 0.2), Key(0, 0, 0, 0, 0, 1.06)};
  EXPECT_EQ(FlightFrames(odd, 10), 12);
  EXPECT_EQ(FrameSeconds(odd, 10, 10), 1.0);
  EXPECT_EQ(FrameSeconds(odd, 10, 11), 1.06);
}

}  // namespace
