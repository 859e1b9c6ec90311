#include "MeshExport.h"

#include <unistd.h>

#include <cctype>

#include "BufferedFile.h"
#include "GlbWriter.h"
#include "MeshToWrite.h"
#include "ObjWriter.h"
#include "PlyWriter.h"
#include "StlWriter.h"
#include "TempFile.h"

namespace mesh_export {

namespace {

// The file name without its folders.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status Refused(const std::string& path, const std::string& why) {
  return Status::Failure("Cannot write " + path + ": " + why + ".");
}

// The .mtl beside `obj`, naming `texture`: committed first, so that the OBJ never names a
// material that is not there.
Status WriteMaterialFile(const std::string& material_path, const std::string& texture) {
  TempFile material(material_path);
  if (!material.status().ok()) return material.status();
  BufferedFile mtl(material.file());
  const size_t slash = material_path.rfind('/');
  WriteMaterial(slash == std::string::npos ? "." : material_path.substr(0, slash + 1), texture, mtl);
  if (Status closed = material.Close(mtl); !closed.ok()) return closed;
  return material.Commit();
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
  else if (ending == "glb") format = Format::kGlb;
  else return false;
  return true;
}

Status Write(const IndexedMesh& mesh, const data& grid, const Normal* const* normals, const DrawScales& scales,
             const std::string& path, const Options& options, Written* written) {
  Format format;
  if (!FormatOf(path, format)) return Refused(path, "the name must end in .obj, .stl, .ply or .glb");
  if (mesh.indices.empty()) return Refused(path, "the mesh has no triangles");
  PrepareOptions prepare;
  prepare.texture = format == Format::kObj || (format == Format::kGlb && options.texture_rgb != nullptr);
  prepare.corners = format != Format::kObj;  // an OBJ is written from the arrays, whole units as drawn
  prepare.base = options.base;
  prepare.units_per_metre = options.units_per_metre;
  if (options.print_size_mm > 0) {
    if (format == Format::kGlb) return Refused(path, "a model to print is written as STL, PLY or OBJ");
    if (mesh.crack_fills > 0) return Refused(path, "a model to print needs a mesh without cracks");
    prepare.print_size_mm = options.print_size_mm;
    prepare.base_thickness_mm = options.base_thickness_mm;
  }
  const MeshToWrite m = Prepare(grid, normals, mesh, scales, prepare);
  if (!HasArea(m.arrays.positions)) return Refused(path, "at this X-Z-Multiplier the mesh has no area");
  if (written != nullptr)
    *written = m.solid ? Written{m.solid->points.size(), m.solid->indices.size() / 3}
                       : Written{SolidVertices(mesh.points.size(), m.base_or_null()),
                                 SolidTriangles(mesh.indices.size() / 3, m.base_or_null())};

  TempFile file(path);
  if (!file.status().ok()) return file.status();
  BufferedFile out(file.file());
  std::string material_path;
  if (format == Format::kObj && !options.texture.empty()) material_path = path.substr(0, path.size() - 4) + ".mtl";
  switch (format) {
    case Format::kObj: WriteObj(m, material_path.empty() ? "" : BaseName(material_path), out); break;
    case Format::kStl: WriteStl(m, out); break;
    case Format::kPly: WritePly(m, out); break;
    case Format::kGlb: {
      const GlbTexture texture{options.texture_rgb, options.texture_width, options.texture_height};
      if (Status glb = WriteGlb(m, grid, scales, options.units_per_metre, texture, out); !glb.ok())
        return Refused(path, glb.reason());
      break;
    }
  }
  if (Status closed = file.Close(out); !closed.ok()) return closed;
  if (material_path.empty()) return file.Commit();

  if (Status material = WriteMaterialFile(material_path, options.texture); !material.ok()) return material;
  if (Status committed = file.Commit(); !committed.ok()) {
    unlink(material_path.c_str());  // no material without its mesh
    return committed;
  }
  return Status::Ok();
}

}  // namespace mesh_export
