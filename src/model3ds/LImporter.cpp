#include "model3ds/LImporter.h"

LImporter::LImporter()
{
    LImporter::ClearScene();
}

LImporter::~LImporter()
{
    LImporter::ClearScene();
}

void LImporter::ClearScene()
{
    meshes.clear();
    lights.clear();
    materials.clear();
}

const LMaterial* LImporter::FindMaterialByName(const std::string& materialName) const
{
    for (const LMaterial& material : materials) {
        if (material.Name() == materialName) {
            return &material;
        }
    }
    return nullptr;
}
