#pragma once

#include <string>
#include <vector>

#include "model3ds/LLight.h"
#include "model3ds/LMaterial.h"
#include "model3ds/LMesh.h"

// A scene of meshes, materials and lights read from a model file; the
// lists own their records by value.
class LImporter {
public:
    LImporter();
    virtual ~LImporter();

    LImporter(const LImporter&) = delete;
    LImporter& operator=(const LImporter&) = delete;

    // True when the scene was read.
    virtual bool LoadModel(const std::string& fileName) = 0;
    virtual void ClearScene();

    // Unchecked: the caller stays below the mesh count.
    const LMesh& MeshAt(std::size_t index) const { return meshes[index]; }

    // The first material of exactly this name, or null.
    const LMaterial* FindMaterialByName(const std::string& materialName) const;

    std::vector<LLight> lights;
    std::vector<LMesh> meshes;
    std::vector<LMaterial> materials;
};
