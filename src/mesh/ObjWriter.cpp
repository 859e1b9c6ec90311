// Texture coordinates as the drawing's, with t turned over: the drawing sends the image
// top row first, so its t = 0 is the top, where an OBJ's is the bottom.
// With a base, the bottom copies follow the surface's vertices (their texture coordinates
// repeated), then the fan's centre; the bottom's normal and one per wall follow the
// surface's normals.
#include "ObjWriter.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace mesh_export {

namespace {

void Positions(const MeshToWrite& m, const Base* base, BufferedFile& out) {
  const size_t n = m.mesh->points.size();
  for (size_t i = 0; i < n; ++i) {
    const int32_t* v = &m.arrays.positions[3 * i];
    out.Text("v ");
    out.Decimal(v[0], m.decimals);
    out.Char(' ');
    out.Decimal(v[1], m.decimals);
    out.Char(' ');
    out.Decimal(v[2], m.decimals);
    out.Char('\n');
  }
  if (base == nullptr) return;
  for (size_t i = 0; i < n; ++i) {  // the bottom in metres, whole ones
    const int32_t* v = &m.arrays.positions[3 * i];
    out.Text("v ");
    out.Decimal(v[0], m.decimals);
    out.Char(' ');
    out.Number(base->bottom);
    out.Char(' ');
    out.Decimal(v[2], m.decimals);
    out.Char('\n');
  }
  if (base->fan) {
    out.Text("v ");
    out.Number(base->centre.x);
    out.Char(' ');
    out.Number(base->bottom);
    out.Char(' ');
    out.Number(base->centre.z);
    out.Char('\n');
  }
}

void TextureCoordinates(const MeshToWrite& m, const Base* base, BufferedFile& out) {
  const size_t n = m.mesh->points.size();
  for (int copy = 0; copy < (base != nullptr ? 2 : 1); ++copy)
    for (size_t i = 0; i < n; ++i) {
      out.Text("vt ");
      out.Fraction(m.arrays.texcoords[2 * i]);
      out.Char(' ');
      out.Fraction(1.0f - m.arrays.texcoords[2 * i + 1]);
      out.Char('\n');
    }
  if (base != nullptr && base->fan) out.Text("vt 0.5 0.5\n");
}

void Normals(const MeshToWrite& m, const Base* base, BufferedFile& out) {
  for (size_t i = 0; i < m.mesh->points.size(); ++i) {
    const float* nv = &m.arrays.normals[3 * i];
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
  if (base == nullptr) return;
  out.Text("vn 0 -1 0\n");
  for (const auto& [from, to] : base->outline) {  // level, away from the side the surface lies on
    const double dx = m.corners[to].x - m.corners[from].x, dz = m.corners[to].z - m.corners[from].z;
    const double length = std::sqrt(dx * dx + dz * dz);
    out.Text("vn ");
    out.Fraction(length > 0 ? static_cast<float>(-dz / length) : 0.0f);
    out.Text(" 0 ");
    out.Fraction(length > 0 ? static_cast<float>(dx / length) : 0.0f);
    out.Char('\n');
  }
}

void Faces(const MeshToWrite& m, const Base* base, BufferedFile& out) {
  const std::vector<uint32_t>& ix = m.mesh->indices;
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
  if (base == nullptr) return;
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
  const size_t n = m.mesh->points.size();
  const size_t down = n;  // the bottom copy of a vertex
  if (base->fan) {
    for (const auto& [from, to] : base->outline) face(down + from, 2 * n, down + to, n);
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) face(down + ix[t], down + ix[t + 2], down + ix[t + 1], n);
  }
  for (size_t k = 0; k < base->outline.size(); ++k) {
    const auto [from, to] = base->outline[k];
    face(to, from, down + from, n + 1 + k);
    face(to, down + from, down + to, n + 1 + k);
  }
}

// A model to print: positions, faces and, with a material, the texture coordinates of
// the mesh vertex each point is or stands under.
void WriteSolid(const MeshToWrite& m, bool textured, BufferedFile& out) {
  const PrintSolid& solid = *m.solid;
  for (const Corner& c : solid.points) {
    out.Text("v ");
    out.Number(c.x);
    out.Char(' ');
    out.Number(c.y);
    out.Char(' ');
    out.Number(c.z);
    out.Char('\n');
  }
  for (uint32_t i = 0; textured && i < solid.points.size(); ++i) {
    const uint32_t v = solid.source[i];
    out.Text("vt ");
    out.Fraction(v == PrintSolid::kNoSource ? 0.5f : m.arrays.texcoords[2 * v]);
    out.Char(' ');
    out.Fraction(v == PrintSolid::kNoSource ? 0.5f : 1.0f - m.arrays.texcoords[2 * v + 1]);
    out.Char('\n');
  }
  for (size_t t = 0; t + 2 < solid.indices.size(); t += 3) {
    out.Char('f');
    for (int k = 0; k < 3; ++k) {
      out.Char(' ');
      out.Number(solid.indices[t + k] + 1);
      if (textured) out.Char('/'), out.Number(solid.indices[t + k] + 1);
    }
    out.Char('\n');
  }
}

}  // namespace

void WriteObj(const MeshToWrite& m, const std::string& material, BufferedFile& out) {
  out.Text(m.solid ? "# Brackenholmer terrain to print, z up, millimetres\n"
                   : "# Brackenholmer terrain, y up, counter-clockwise seen from above\n");
  if (!material.empty()) {
    out.Text("mtllib " + material + "\nusemtl terrain\n");
  }
  if (m.solid) {
    WriteSolid(m, !material.empty(), out);
    return;
  }
  const Base* base = m.base_or_null();
  Positions(m, base, out);
  TextureCoordinates(m, base, out);
  Normals(m, base, out);
  Faces(m, base, out);
}

void WriteMaterial(const std::string& folder, const std::string& texture, BufferedFile& out) {
  out.Text("newmtl terrain\nKa 1 1 1\nKd 1 1 1\nmap_Kd " + PathFrom(folder, texture) + "\n");
}

std::string PathFrom(const std::string& folder, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path from = fs::weakly_canonical(fs::absolute(folder.empty() ? "." : folder), error);
  const fs::path to = fs::weakly_canonical(fs::absolute(target), error);
  const fs::path relative = to.lexically_relative(from);
  return relative.empty() ? to.string() : relative.string();
}

}  // namespace mesh_export
