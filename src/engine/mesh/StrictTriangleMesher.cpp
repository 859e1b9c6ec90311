// Triangle bisection under a strict error bound.
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"

template <class Builder>
int mesh::BuildStrictTriangleMesh(const Settings& s, Builder& out) {
  Settings plain = s;
  plain.strict = false;
  return mesh::BuildTriangleMesh(plain, out);
}

template int mesh::BuildStrictTriangleMesh(const Settings&, mesh::TriangleListBuilder&);
template int mesh::BuildStrictTriangleMesh(const Settings&, IndexedMeshBuilder&);
