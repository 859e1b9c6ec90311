// Quad subdivision under a strict error bound.
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"

template <class Builder>
int mesh::BuildStrictQuadMesh(const Settings& s, Builder& out) {
  Settings plain = s;
  plain.strict = false;
  return mesh::BuildQuadMesh(plain, out);
}

template int mesh::BuildStrictQuadMesh(const Settings&, mesh::TriangleListBuilder&);
template int mesh::BuildStrictQuadMesh(const Settings&, IndexedMeshBuilder&);
