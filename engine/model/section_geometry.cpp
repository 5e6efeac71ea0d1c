#include "model/section_geometry.h"

#include <cmath>

namespace marrowick::engine {

namespace {

using Quad = std::array<PlanePoint, 4>;

// Shoelace area, positive for counter-clockwise corners.
double quadArea(const Quad& c) {
  double area = 0.0;
  for (int k = 0; k < 4; ++k) {
    const PlanePoint& a = c[k];
    const PlanePoint& b = c[(k + 1) % 4];
    area += (b.z - a.z) * (b.y + a.y);
  }
  return area / 2.0;
}

// The centroid from the first moments, edge by edge (Green's theorem).
FiberPlace quadCell(const Quad& c) {
  const double area = quadArea(c);
  double momentY = 0.0;
  double momentZ = 0.0;
  for (int k = 0; k < 4; ++k) {
    const PlanePoint& a = c[k];
    const PlanePoint& b = c[(k + 1) % 4];
    const double dy = b.y - a.y;
    const double dz = b.z - a.z;
    const double along = a.y * a.z + (a.y * dz + a.z * dy) / 2.0 + dy * dz / 3.0;
    momentY -= dy * along;
    momentZ += dz * along;
  }
  return {momentY / area, momentZ / area, area};
}

// A point of the natural square [−1, 1]² mapped onto the quadrilateral.
PlanePoint bilinear(const Quad& corners, double xi, double eta) {
  const double weights[4] = {(1.0 - xi) * (1.0 - eta) / 4.0, (1.0 + xi) * (1.0 - eta) / 4.0,
                             (1.0 + xi) * (1.0 + eta) / 4.0, (1.0 - xi) * (1.0 + eta) / 4.0};
  PlanePoint p;
  for (int k = 0; k < 4; ++k) {
    p.y += weights[k] * corners[k].y;
    p.z += weights[k] * corners[k].z;
  }
  return p;
}

double radians(double degrees) {
  const double pi = std::acos(-1.0);
  return pi * degrees / 180.0;
}

}  // namespace

std::vector<FiberPlace> quadPatch(int divisionsIJ, int divisionsJK, const Quad& corners) {
  std::vector<FiberPlace> fibers;
  if (divisionsIJ <= 0 || divisionsJK <= 0) return fibers;
  fibers.reserve(static_cast<std::size_t>(divisionsIJ) * static_cast<std::size_t>(divisionsJK));
  const double stepXi = 2.0 / divisionsIJ;
  const double stepEta = 2.0 / divisionsJK;
  for (int j = 0; j < divisionsJK; ++j) {
    for (int i = 0; i < divisionsIJ; ++i) {
      const double xi0 = -1.0 + stepXi * i;
      const double xi1 = -1.0 + stepXi * (i + 1);
      const double eta0 = -1.0 + stepEta * j;
      const double eta1 = -1.0 + stepEta * (j + 1);
      fibers.push_back(quadCell({bilinear(corners, xi0, eta0), bilinear(corners, xi1, eta0),
                                 bilinear(corners, xi1, eta1), bilinear(corners, xi0, eta1)}));
    }
  }
  return fibers;
}

std::vector<FiberPlace> rectPatch(int divisionsY, int divisionsZ, PlanePoint i, PlanePoint j) {
  return quadPatch(divisionsY, divisionsZ, {i, PlanePoint{j.y, i.z}, j, PlanePoint{i.y, j.z}});
}

std::vector<FiberPlace> circPatch(int divisionsCircle, int divisionsRadius, PlanePoint centre,
                                  double innerRadius, double outerRadius, double startDegrees,
                                  double endDegrees) {
  std::vector<FiberPlace> fibers;
  if (divisionsCircle <= 0 || divisionsRadius <= 0) return fibers;
  fibers.reserve(static_cast<std::size_t>(divisionsCircle) *
                 static_cast<std::size_t>(divisionsRadius));
  const double start = radians(startDegrees);
  const double sweep = (radians(endDegrees) - start) / divisionsCircle;
  const double depth = (outerRadius - innerRadius) / divisionsRadius;
  const double half = sweep / 2.0;
  for (int j = 0; j < divisionsRadius; ++j) {
    const double inner = innerRadius + depth * j;
    const double outer = inner + depth;
    // A ring sector is the difference of two circular sectors, each with its
    // centroid at 2·r·sin(α/2)/(3·α/2) from the centre.
    const double outerArea = half * outer * outer;
    const double outerArm = 2.0 * outer * std::sin(half) / (3.0 * half);
    const double innerArea = half * inner * inner;
    const double innerArm = 2.0 * inner * std::sin(half) / (3.0 * half);
    const double area = outerArea - innerArea;
    const double arm = (outerArea * outerArm - innerArea * innerArm) / area;
    for (int i = 0; i < divisionsCircle; ++i) {
      const double middle = start + sweep * i + sweep / 2.0;
      fibers.push_back(
          {std::cos(middle) * arm + centre.y, std::sin(middle) * arm + centre.z, area});
    }
  }
  return fibers;
}

std::vector<FiberPlace> straightLayer(int bars, double barArea, PlanePoint start, PlanePoint end) {
  std::vector<FiberPlace> fibers;
  if (bars == 1) {
    fibers.push_back({(start.y + end.y) / 2, (start.z + end.z) / 2, barArea});
  } else if (bars > 1) {
    fibers.reserve(static_cast<std::size_t>(bars));
    const double dy = (end.y - start.y) / (bars - 1);
    const double dz = (end.z - start.z) / (bars - 1);
    for (int k = 0; k < bars; ++k) fibers.push_back({start.y + dy * k, start.z + dz * k, barArea});
  }
  return fibers;
}

std::vector<FiberPlace> circLayer(int bars, double barArea, PlanePoint centre, double radius,
                                  std::optional<Arc> arc) {
  std::vector<FiberPlace> fibers;
  if (bars <= 0) return fibers;
  double startDegrees = 0.0;
  double endDegrees = 360.0 - 360.0 / bars;
  if (arc) {
    startDegrees = arc->startDegrees;
    endDegrees = arc->endDegrees;
    if (endDegrees - startDegrees >= 360.0) endDegrees = startDegrees + 360.0 - 360.0 / bars;
  }
  const double start = radians(startDegrees);
  const double step = bars > 1 ? (radians(endDegrees) - start) / (bars - 1) : 0.0;
  fibers.reserve(static_cast<std::size_t>(bars));
  for (int k = 0; k < bars; ++k) {
    const double theta = start + step * k;
    fibers.push_back(
        {centre.y + radius * std::cos(theta), centre.z + radius * std::sin(theta), barArea});
  }
  return fibers;
}

}  // namespace marrowick::engine
