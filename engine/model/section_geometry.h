#pragma once

#include <array>
#include <optional>
#include <vector>

namespace marrowick::engine {

// Where a fiber sits in the section plane and how much area it stands for.
// In a plane model only y bends the section; z still places the fiber (a
// fiber recorder finds fibers by (y, z)).
struct FiberPlace {
  double y = 0.0;
  double z = 0.0;
  double area = 0.0;
};

struct PlanePoint {
  double y = 0.0;
  double z = 0.0;
};

// The cuts of patches and layers, in OpenSees' order and with its arithmetic:
// the section's centroid, and so every moment about it, follows from these
// positions.

// A quadrilateral I-J-K-L (counter-clockwise) cut into divisionsIJ × divisionsJK
// cells of its bilinear map; row by row along IJ, rows stepping along JK. Each
// fiber sits at its cell's centroid with the cell's area.
std::vector<FiberPlace> quadPatch(int divisionsIJ, int divisionsJK,
                                  const std::array<PlanePoint, 4>& corners);

// The rectangle with opposite corners I and J, cut divisionsY × divisionsZ.
std::vector<FiberPlace> rectPatch(int divisionsY, int divisionsZ, PlanePoint i, PlanePoint j);

// An annular sector about the centre from startDegrees to endDegrees,
// divisionsCircle sectors by divisionsRadius rings, ring by ring from the
// inside; each fiber at its cell's centroid.
std::vector<FiberPlace> circPatch(int divisionsCircle, int divisionsRadius, PlanePoint centre,
                                  double innerRadius, double outerRadius, double startDegrees,
                                  double endDegrees);

// bars equally spaced from start to end (one bar: in the middle).
std::vector<FiberPlace> straightLayer(int bars, double barArea, PlanePoint start, PlanePoint end);

struct Arc {
  double startDegrees = 0.0;
  double endDegrees = 0.0;
};

// bars on a circle, from the start angle to the end angle inclusive; a whole
// circle (no arc, or an arc of 360° or more) leaves out the bar that would
// fall on the first one.
std::vector<FiberPlace> circLayer(int bars, double barArea, PlanePoint centre, double radius,
                                  std::optional<Arc> arc);

}  // namespace marrowick::engine
