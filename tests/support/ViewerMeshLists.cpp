// The viewer's list meshers: the current settings' mesh as a linked list of triangles,
// for tests and benchmarks.
#include "Brackenholmer.h"
#include "MeshBuild.h"
#include "TriangleList.h"

void Brackenholmer::CreateQSDTriangles() {
  triangle_count = 0;
  mesh::ReleaseTriangleList(Triangles);
  mesh::TriangleListBuilder list;
  mesh::BuildQuadMesh(input, mesh::CurrentSettings(), list.Sink());
  Triangles = list.Head();
  triangle_count = static_cast<int>(list.Count());
}

void Brackenholmer::CreateTSDTriangles() {
  triangle_count = 0;
  mesh::ReleaseTriangleList(Triangles);
  mesh::TriangleListBuilder list;
  mesh::BuildTriangleMesh(input, mesh::CurrentSettings(), list.Sink());
  Triangles = list.Head();
  triangle_count = static_cast<int>(list.Count());
}
