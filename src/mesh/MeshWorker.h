// Builds meshes on a thread of its own, so that the window keeps answering while a big
// mesh is made: only the newest request's mesh is handed out.
#pragma once

#include "IndexedMesh.h"
#include "LatestWorker.h"
#include "MeshBuild.h"

using MeshWorker = LatestWorker<mesh::Settings, IndexedMesh>;
