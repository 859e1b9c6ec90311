// Writes meshes to OBJ, binary STL and binary PLY.
//
//   Out            - a buffered writer with fast number formatting
//   TempFile       - a short temporary name beside the output, renamed once whole
//   Prepared       - the drawn positions in metres, the outline and the base
//   Outline        - directed edges without a reverse, from per-vertex hash balances
//   Solid          - the triangles of surface, bottom and walls, and their counts
//   STL, PLY, OBJ  - the three formats
//   Write
#include "MeshExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "Brackenholmer.h"
#include "GridUnits.h"
#include "VertexArrays.h"

namespace mesh_export {

// STL and PLY are written as the machine lays out its numbers.
static_assert(std::endian::native == std::endian::little, "binary STL and PLY writing assumes little-endian");

namespace {

// A buffered writer: one fwrite per megabyte, numbers formatted in place, the first
// error kept.
class Out {
 public:
  explicit Out(FILE* f) : f_(f), buffer_(new char[kSize]) {}
  void Bytes(const void* p, size_t n) {
    if (used_ + n > kSize) Flush();
    if (n > kSize) {
      Put(p, n);
      return;
    }
    memcpy(buffer_.get() + used_, p, n);
    used_ += n;
  }
  template <class T>
  void Raw(T value) {
    Bytes(&value, sizeof value);
  }
  void Text(const char* s) { Bytes(s, strlen(s)); }
  void Text(const std::string& s) { Bytes(s.data(), s.size()); }
  void Char(char c) {
    if (used_ == kSize) Flush();
    buffer_[used_++] = c;
  }
  template <class T>
  void Number(T value) {
    if (used_ + 32 > kSize) Flush();
    used_ = static_cast<size_t>(std::to_chars(buffer_.get() + used_, buffer_.get() + kSize, value).ptr - buffer_.get());
  }
  // A value within a few units in seven decimals, trailing zeros dropped: much faster
  // than the shortest exact form, and finer than a float's step near 1.
  void Fraction(float value) {
    const double scaled = static_cast<double>(value) * 1e7;
    long long tenths = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    if (tenths < 0) {
      Char('-');
      tenths = -tenths;
    }
    const long long whole = tenths / 10000000;
    if (whole < 10) Char(static_cast<char>('0' + whole));  // normals and texture coordinates
    else Number(whole);
    uint32_t rest = static_cast<uint32_t>(tenths % 10000000);
    if (rest == 0) return;
    // Seven digits, two at a time from the right.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char digits[8] = {'.'};
    for (int k = 6; k >= 2; k -= 2, rest /= 100) memcpy(digits + k, kPairs + 2 * (rest % 100), 2);
    digits[1] = static_cast<char>('0' + rest);
    int length = 8;
    while (digits[length - 1] == '0') --length;
    Bytes(digits, static_cast<size_t>(length));
  }
  // value / 10^decimals, exactly, trailing zeros dropped: "123.45" for 12345 and 2.
  void Decimal(int32_t value, int decimals) {
    if (decimals == 0) return Number(value);
    char digits[16];
    const bool negative = value < 0;
    uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    int n = 0;
    for (int k = 0; k < decimals; ++k, magnitude /= 10) digits[n++] = static_cast<char>('0' + magnitude % 10);
    int first = 0;  // trailing zeros of the fraction go
    while (first < decimals && digits[first] == '0') ++first;
    if (negative && (magnitude != 0 || first < decimals)) Char('-');
    Number(magnitude);
    if (first == decimals) return;
    Char('.');
    for (int k = decimals - 1; k >= first; --k) Char(digits[k]);
  }
  void Flush() {
    Put(buffer_.get(), used_);
    used_ = 0;
  }
  int error() const { return error_; }

 private:
  void Put(const void* p, size_t n) {
    if (n != 0 && fwrite(p, 1, n, f_) != n && error_ == 0) error_ = errno != 0 ? errno : EIO;
  }
  static constexpr size_t kSize = 1 << 20;
  FILE* f_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  int error_ = 0;
};

std::string Reason(const std::string& what, int error) { return what + ": " + strerror(error) + "."; }

// A short hidden name in the folder of `path`: a name as long as the system allows
// leaves no room for a suffix.
std::string TemporaryBeside(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".export-XXXXXX";
}

// A file written under a temporary name beside its final one; removed unless committed.
class TempFile {
 public:
  explicit TempFile(const std::string& path) : path_(path), temp_(TemporaryBeside(path)) {
    const int fd = mkstemp(temp_.data());
    if (fd < 0) {
      error_ = Reason("Cannot write " + path_, errno);
      temp_.clear();
      return;
    }
    // mkstemp makes the file private; give it the mode any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
      error_ = Reason("Cannot write " + path_, errno);
      close(fd);
    }
  }
  ~TempFile() {
    if (file_ != nullptr) fclose(file_);
    if (!temp_.empty()) unlink(temp_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  FILE* file() const { return file_; }
  const std::string& error() const { return error_; }

  // Closes the file after `out`; the text is empty on success. No fsync: the rename is
  // what keeps an interrupted export from leaving part of a file, and syncing a large
  // mesh would cost more than building it.
  std::string Close(Out& out) {
    out.Flush();
    int error = out.error();
    if (error == 0 && fflush(file_) != 0) error = errno;
    if (fclose(file_) != 0 && error == 0) error = errno;
    file_ = nullptr;
    return error != 0 ? Reason("Cannot write " + path_, error) : std::string();
  }

  // Gives the file its name unless one of that name is there already.
  std::string Commit() {
    if (renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) == 0) {
      temp_.clear();
      return {};
    }
    if (errno == EINVAL || errno == ENOSYS) {  // a file system without the flag
      if (link(temp_.c_str(), path_.c_str()) == 0) return {};  // the destructor drops the temporary
    }
    if (errno == EEXIST) return path_ + " exists already; it is left as it was.";
    return Reason("Cannot write " + path_, errno);
  }

 private:
  std::string path_, temp_;
  FILE* file_ = nullptr;
  std::string error_;
};

struct Corner {
  float x, y, z;
};

// The mesh with what the formats need: drawn positions, the edges of its outline and the
// bottom's height.
struct Prepared {
  VertexArrays arrays;
  std::vector<Corner> corners;
  std::vector<std::pair<uint32_t, uint32_t>> outline;  // directed edges with no reverse
  float bottom = 0;
  // The bottom as a fan from `centre` to the outline when the centre sees every outline
  // edge from inside (one loop, no holes): a tiny fraction of a mirrored mesh.
  bool fan = false;
  Corner centre{};
  int decimals = 0;  // of a metre in the grid's unit: positions are written in metres
};

// True when `c` lies strictly on the inner side of every outline edge, seen from above: the
// outline is then one loop around it, and a fan from it covers the inside once.
bool SeesEveryEdgeFromInside(const std::vector<Corner>& corners, const std::vector<std::pair<uint32_t, uint32_t>>& outline,
                             const Corner& c) {
  for (const auto& [from, to] : outline) {
    const Corner& a = corners[from];
    const Corner& b = corners[to];
    // The upward part of (b - a) x (c - a): the surface's triangles turn counter-clockwise.
    const double up = static_cast<double>(b.z - a.z) * (c.x - a.x) - static_cast<double>(b.x - a.x) * (c.z - a.z);
    if (!(up > 0)) return false;
  }
  return !outline.empty();
}

// A well-mixed 64-bit value per vertex (splitmix64's finaliser).
uint64_t VertexHash(uint64_t v) {
  v += 0x9E3779B97F4A7C15ull;
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
  return v ^ (v >> 31);
}

// The directed edges walked more often one way than back, once per walk in excess: the
// outline of the surface. Bisection's fills meet some edges inside more than twice, so an
// edge is on the outline by its balance, not by its missing reverse.
// Every walk a->b adds hash(b) at a and takes hash(a) from b, so a walk back cancels it:
// only the ends of unbalanced edges keep a sum other than zero (barring a 64-bit
// coincidence). The edges between two such vertices, few next to the mesh, are then sorted
// and their walks counted.
std::vector<std::pair<uint32_t, uint32_t>> OutlineEdges(const std::vector<uint32_t>& indices, size_t vertices) {
  const size_t walked = indices.size() - indices.size() % 3;
  std::vector<uint64_t> balance(vertices, 0);
  for (size_t t = 0; t < walked; t += 3)
    for (int k = 0; k < 3; ++k) {
      const uint32_t from = indices[t + k], to = indices[t + (k + 1) % 3];
      balance[from] += VertexHash(to);
      balance[to] -= VertexHash(from);
    }
  std::vector<unsigned char> on_outline(vertices);
  for (size_t v = 0; v < vertices; ++v) on_outline[v] = balance[v] != 0;
  // An edge filed as its lower vertex, and its upper one times two, plus one when walked down.
  std::vector<std::pair<uint32_t, uint32_t>> filed;
  for (size_t t = 0; t < walked; t += 3)
    for (int k = 0; k < 3; ++k) {
      const uint32_t from = indices[t + k], to = indices[t + (k + 1) % 3];
      if (!on_outline[from] || !on_outline[to]) continue;
      filed.push_back(from < to ? std::pair{from, 2 * to} : std::pair{to, 2 * from + 1});
    }
  std::sort(filed.begin(), filed.end());
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (size_t i = 0; i < filed.size();) {
    const uint32_t low = filed[i].first, high = filed[i].second / 2;
    int excess = 0;
    for (; i < filed.size() && filed[i].first == low && filed[i].second / 2 == high; ++i)
      excess += (filed[i].second & 1) != 0 ? -1 : 1;
    for (; excess > 0; --excess) out.push_back({low, high});
    for (; excess < 0; ++excess) out.push_back({high, low});
  }
  return out;
}

// Texture coordinates only for OBJ: fresh memory is much of an export's cost.
void Prepare(const IndexedMesh& mesh, const DrawScales& scales, Format format, bool base, int units_per_metre,
             Prepared& p) {
  FillVertexArrays(input, normales, mesh, format == Format::kObj ? Shading::kTexture : Shading::kPlain, scales, p.arrays);
  p.decimals = DecimalsOf(units_per_metre);
  if (format == Format::kObj && !base) return;  // written from the arrays, whole units as drawn
  const size_t n = mesh.points.size();
  p.corners.resize(n);
  const double metre = 1.0 / units_per_metre;
  float lowest = 0, highest = 0;
  for (size_t i = 0; i < n; ++i) {
    const int32_t* v = &p.arrays.positions[3 * i];
    p.corners[i] = {static_cast<float>(v[0] * metre), static_cast<float>(v[1] * metre),
                    static_cast<float>(v[2] * metre)};
    lowest = i == 0 ? p.corners[i].y : std::min(lowest, p.corners[i].y);
    highest = i == 0 ? p.corners[i].y : std::max(highest, p.corners[i].y);
  }
  if (!base) return;
  p.bottom = static_cast<float>(BaseHeight(lowest, highest));
  p.outline = OutlineEdges(mesh.indices, n);
  float x0 = 0, x1 = 0, z0 = 0, z1 = 0;
  for (size_t k = 0; k < p.outline.size(); ++k) {
    const Corner& c = p.corners[p.outline[k].first];
    x0 = k == 0 ? c.x : std::min(x0, c.x), x1 = k == 0 ? c.x : std::max(x1, c.x);
    z0 = k == 0 ? c.z : std::min(z0, c.z), z1 = k == 0 ? c.z : std::max(z1, c.z);
  }
  p.centre = Corner{(x0 + x1) / 2, p.bottom, (z0 + z1) / 2};
  p.fan = SeesEveryEdgeFromInside(p.corners, p.outline, p.centre);
}

// Calls `emit(a, b, c)` with every triangle of the solid or surface as corner positions:
// the mesh, then with a base the bottom (a fan, or the mesh mirrored) and the walls along
// the outline.
template <class Emit>
void ForEachTriangle(const IndexedMesh& mesh, const Prepared& p, bool base, Emit emit) {
  const std::vector<uint32_t>& ix = mesh.indices;
  for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(p.corners[ix[t]], p.corners[ix[t + 1]], p.corners[ix[t + 2]]);
  if (!base) return;
  const auto down = [&](uint32_t i) { return Corner{p.corners[i].x, p.bottom, p.corners[i].z}; };
  if (p.fan) {
    for (const auto& [from, to] : p.outline) emit(down(from), p.centre, down(to));
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(down(ix[t]), down(ix[t + 2]), down(ix[t + 1]));
  }
  for (const auto& [from, to] : p.outline) {
    emit(p.corners[to], p.corners[from], down(from));
    emit(p.corners[to], down(from), down(to));
  }
}

size_t SolidTriangles(const IndexedMesh& mesh, const Prepared& p, bool base) {
  const size_t top = mesh.indices.size() / 3;
  return base ? top + (p.fan ? p.outline.size() : top) + 2 * p.outline.size() : top;
}

// The corner points of the solid: the surface's, with a base their copies on the bottom
// and the fan's centre.
size_t SolidVertices(const IndexedMesh& mesh, const Prepared& p, bool base) {
  const size_t n = mesh.points.size();
  return base ? 2 * n + (p.fan ? 1 : 0) : n;
}

// True when the drawn positions spread in both x and z: a mesh flattened to a line (an
// X-Z-Multiplier of 0) has no area.
bool HasArea(const std::vector<int32_t>& positions) {
  if (positions.size() < 3) return false;
  int32_t x0 = positions[0], x1 = x0, z0 = positions[2], z1 = z0;
  for (size_t i = 3; i + 2 < positions.size(); i += 3) {
    x0 = std::min(x0, positions[i]), x1 = std::max(x1, positions[i]);
    z0 = std::min(z0, positions[i + 2]), z1 = std::max(z1, positions[i + 2]);
  }
  return x1 > x0 && z1 > z0;
}

void WriteStl(const IndexedMesh& mesh, const Prepared& p, bool base, Out& out) {
  char header[80] = "Brackenholmer terrain, y up, counter-clockwise seen from above";
  out.Bytes(header, sizeof header);
  out.Raw(static_cast<uint32_t>(SolidTriangles(mesh, p, base)));
  ForEachTriangle(mesh, p, base, [&](const Corner& a, const Corner& b, const Corner& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) nx /= length, ny /= length, nz /= length;
    const float record[12] = {static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz),
                              a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z};
    out.Bytes(record, sizeof record);
    out.Raw(uint16_t{0});
  });
}

void WritePly(const IndexedMesh& mesh, const Prepared& p, bool base, Out& out) {
  const size_t n = p.corners.size();
  out.Text("ply\nformat binary_little_endian 1.0\ncomment Brackenholmer terrain, y up\nelement vertex ");
  out.Number(base ? 2 * n + (p.fan ? 1 : 0) : n);
  out.Text("\nproperty float x\nproperty float y\nproperty float z\nelement face ");
  out.Number(SolidTriangles(mesh, p, base));
  out.Text("\nproperty list uchar int vertex_indices\nend_header\n");
  for (const Corner& c : p.corners) out.Raw(c);
  if (base)
    for (const Corner& c : p.corners) out.Raw(Corner{c.x, p.bottom, c.z});
  if (base && p.fan) out.Raw(p.centre);
  const auto face = [&](uint32_t a, uint32_t b, uint32_t c) {
    out.Raw(uint8_t{3});
    const int32_t corners[3] = {static_cast<int32_t>(a), static_cast<int32_t>(b), static_cast<int32_t>(c)};
    out.Bytes(corners, sizeof corners);
  };
  const std::vector<uint32_t>& ix = mesh.indices;
  for (size_t t = 0; t + 2 < ix.size(); t += 3) face(ix[t], ix[t + 1], ix[t + 2]);
  if (!base) return;
  const uint32_t low = static_cast<uint32_t>(n);  // the bottom copy of a vertex
  if (p.fan) {
    for (const auto& [from, to] : p.outline) face(low + from, 2 * low, low + to);
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) face(low + ix[t], low + ix[t + 2], low + ix[t + 1]);
  }
  for (const auto& [from, to] : p.outline) {
    face(to, from, low + from);
    face(to, low + from, low + to);
  }
}

// The file name without its folders.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Texture coordinates as the drawing's, with t turned over: the drawing sends the image
// top row first, so its t = 0 is the top, where an OBJ's is the bottom.
// With a base, the bottom copies follow the surface's vertices (their texture coordinates
// repeated), then the fan's centre; the bottom's normal and one per wall follow the
// surface's normals.
void WriteObj(const IndexedMesh& mesh, const Prepared& p, bool base, const std::string& material, Out& out) {
  out.Text("# Brackenholmer terrain, y up, counter-clockwise seen from above\n");
  if (!material.empty()) {
    out.Text("mtllib " + material + "\nusemtl terrain\n");
  }
  const size_t n = mesh.points.size();
  for (size_t i = 0; i < n; ++i) {
    const int32_t* v = &p.arrays.positions[3 * i];
    out.Text("v ");
    out.Decimal(v[0], p.decimals);
    out.Char(' ');
    out.Decimal(v[1], p.decimals);
    out.Char(' ');
    out.Decimal(v[2], p.decimals);
    out.Char('\n');
  }
  if (base) {  // the bottom in metres, whole ones
    for (size_t i = 0; i < n; ++i) {
      const int32_t* v = &p.arrays.positions[3 * i];
      out.Text("v ");
      out.Decimal(v[0], p.decimals);
      out.Char(' ');
      out.Number(p.bottom);
      out.Char(' ');
      out.Decimal(v[2], p.decimals);
      out.Char('\n');
    }
    if (p.fan) {
      out.Text("v ");
      out.Number(p.centre.x);
      out.Char(' ');
      out.Number(p.bottom);
      out.Char(' ');
      out.Number(p.centre.z);
      out.Char('\n');
    }
  }
  for (int copy = 0; copy < (base ? 2 : 1); ++copy)
    for (size_t i = 0; i < n; ++i) {
      out.Text("vt ");
      out.Fraction(p.arrays.texcoords[2 * i]);
      out.Char(' ');
      out.Fraction(1.0f - p.arrays.texcoords[2 * i + 1]);
      out.Char('\n');
    }
  if (base && p.fan) out.Text("vt 0.5 0.5\n");
  for (size_t i = 0; i < n; ++i) {
    const float* nv = &p.arrays.normals[3 * i];
    const float length = std::sqrt(nv[0] * nv[0] + nv[1] * nv[1] + nv[2] * nv[2]);
    const float scale = length > 0 ? 1 / length : 0;
    out.Text("vn ");
    out.Fraction(nv[0] * scale);
    out.Char(' ');
    out.Fraction(nv[1] * scale);
    out.Char(' ');
    out.Fraction(nv[2] * scale);
    out.Char('\n');
  }
  if (base) {
    out.Text("vn 0 -1 0\n");
    for (const auto& [from, to] : p.outline) {  // level, away from the side the surface lies on
      const double dx = p.corners[to].x - p.corners[from].x, dz = p.corners[to].z - p.corners[from].z;
      const double length = std::sqrt(dx * dx + dz * dz);
      out.Text("vn ");
      out.Fraction(length > 0 ? static_cast<float>(-dz / length) : 0.0f);
      out.Text(" 0 ");
      out.Fraction(length > 0 ? static_cast<float>(dx / length) : 0.0f);
      out.Char('\n');
    }
  }
  const std::vector<uint32_t>& ix = mesh.indices;
  for (size_t t = 0; t + 2 < ix.size(); t += 3) {
    char line[3 * 36 + 2] = {'f'};
    char* end = line + 1;
    for (int k = 0; k < 3; ++k) {  // "a/a/a": the number formatted once
      *end++ = ' ';
      char* const number = end;
      end = std::to_chars(end, line + sizeof line, ix[t + k] + 1).ptr;
      const size_t length = static_cast<size_t>(end - number);
      for (int copy = 0; copy < 2; ++copy) {
        *end++ = '/';
        memcpy(end, number, length);
        end += length;
      }
    }
    *end++ = '\n';
    out.Bytes(line, static_cast<size_t>(end - line));
  }
  if (!base) return;
  // Zero-based vertex records; "f a/a/normal", counted from one.
  const auto face = [&](size_t a, size_t b, size_t c, size_t normal) {
    out.Char('f');
    for (size_t k : {a, b, c}) {
      out.Char(' ');
      out.Number(k + 1);
      out.Char('/');
      out.Number(k + 1);
      out.Char('/');
      out.Number(normal + 1);
    }
    out.Char('\n');
  };
  const size_t down = n;  // the bottom copy of a vertex
  if (p.fan) {
    for (const auto& [from, to] : p.outline) face(down + from, 2 * n, down + to, n);
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) face(down + ix[t], down + ix[t + 2], down + ix[t + 1], n);
  }
  for (size_t k = 0; k < p.outline.size(); ++k) {
    const auto [from, to] = p.outline[k];
    face(to, from, down + from, n + 1 + k);
    face(to, down + from, down + to, n + 1 + k);
  }
}

}  // namespace

bool FormatOf(const std::string& path, Format& format) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
  std::string ending = path.substr(dot + 1);
  for (char& c : ending) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (ending == "obj") format = Format::kObj;
  else if (ending == "stl") format = Format::kStl;
  else if (ending == "ply") format = Format::kPly;
  else return false;
  return true;
}

std::string PathFrom(const std::string& folder, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path from = fs::weakly_canonical(fs::absolute(folder.empty() ? "." : folder), error);
  const fs::path to = fs::weakly_canonical(fs::absolute(target), error);
  const fs::path relative = to.lexically_relative(from);
  return relative.empty() ? to.string() : relative.string();
}

double BaseHeight(double lowest, double highest) {
  return std::floor(lowest - std::max(1.0, (highest - lowest) / 10));
}

std::string Write(const IndexedMesh& mesh, const DrawScales& scales, const std::string& path,
                  const Options& options, Written* written) {
  Format format;
  if (!FormatOf(path, format)) return "Cannot write " + path + ": the name must end in .obj, .stl or .ply.";
  if (mesh.indices.empty()) return "Cannot write " + path + ": the mesh has no triangles.";
  const bool base = options.base;
  Prepared prepared;
  Prepare(mesh, scales, format, base, options.units_per_metre, prepared);
  if (!HasArea(prepared.arrays.positions))
    return "Cannot write " + path + ": at this X-Z-Multiplier the mesh has no area.";
  if (written != nullptr) *written = Written{SolidVertices(mesh, prepared, base), SolidTriangles(mesh, prepared, base)};

  TempFile file(path);
  if (!file.error().empty()) return file.error();
  Out out(file.file());
  std::string material_path;
  if (format == Format::kObj && !options.texture.empty())
    material_path = path.substr(0, path.size() - 4) + ".mtl";
  switch (format) {
    case Format::kObj: WriteObj(mesh, prepared, base, material_path.empty() ? "" : BaseName(material_path), out); break;
    case Format::kStl: WriteStl(mesh, prepared, base, out); break;
    case Format::kPly: WritePly(mesh, prepared, base, out); break;
  }
  if (std::string error = file.Close(out); !error.empty()) return error;
  if (material_path.empty()) return file.Commit();

  TempFile material(material_path);
  if (!material.error().empty()) return material.error();
  Out mtl(material.file());
  const size_t slash = material_path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : material_path.substr(0, slash + 1);
  mtl.Text("newmtl terrain\nKa 1 1 1\nKd 1 1 1\nmap_Kd " + PathFrom(folder, options.texture) + "\n");
  if (std::string error = material.Close(mtl); !error.empty()) return error;
  if (std::string error = material.Commit(); !error.empty()) return error;
  if (std::string error = file.Commit(); !error.empty()) {
    unlink(material_path.c_str());  // no material without its mesh
    return error;
  }
  return {};
}

}  // namespace mesh_export
