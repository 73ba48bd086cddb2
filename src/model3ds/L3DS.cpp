#include "model3ds/L3DS.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "core/AssetFolders.h"
#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "core/FileReads.h"
#include "core/RegularFile.h"

namespace {

namespace ChunkId {
constexpr std::uint16_t main = 0x4D4D;
constexpr std::uint16_t editor = 0x3D3D;
constexpr std::uint16_t material = 0xAFFF;
constexpr std::uint16_t object = 0x4000;
constexpr std::uint16_t triangleMesh = 0x4100;
constexpr std::uint16_t vertexList = 0x4110;
constexpr std::uint16_t faceList = 0x4120;
constexpr std::uint16_t materialGroup = 0x4130;
constexpr std::uint16_t smoothingGroups = 0x4150;
constexpr std::uint16_t textureCoordinates = 0x4140;
constexpr std::uint16_t localMatrix = 0x4160;
constexpr std::uint16_t light = 0x4600;
constexpr std::uint16_t spotlight = 0x4610;
constexpr std::uint16_t colourFloat = 0x0010;
constexpr std::uint16_t colourBytes = 0x0011;
constexpr std::uint16_t colourBytesGamma = 0x0012;
constexpr std::uint16_t colourFloatGamma = 0x0013;
constexpr std::uint16_t percentInteger = 0x0030;
constexpr std::uint16_t percentFloat = 0x0031;
constexpr std::uint16_t materialName = 0xA000;
constexpr std::uint16_t ambient = 0xA010;
constexpr std::uint16_t diffuse = 0xA020;
constexpr std::uint16_t specular = 0xA030;
constexpr std::uint16_t shininess = 0xA040;
constexpr std::uint16_t transparency = 0xA050;
constexpr std::uint16_t wireframe = 0xA085;
constexpr std::uint16_t shading = 0xA100;
constexpr std::uint16_t textureMap = 0xA200;
constexpr std::uint16_t specularMap = 0xA204;
constexpr std::uint16_t opacityMap = 0xA210;
constexpr std::uint16_t reflectionMap = 0xA220;
constexpr std::uint16_t bumpMap = 0xA230;
constexpr std::uint16_t textureMap2 = 0xA33A;
constexpr std::uint16_t mapFileName = 0xA300;
constexpr std::uint16_t mapUScale = 0xA354;
constexpr std::uint16_t mapVScale = 0xA356;
constexpr std::uint16_t mapUOffset = 0xA358;
constexpr std::uint16_t mapVOffset = 0xA35A;
constexpr std::uint16_t mapAngle = 0xA35C;
}  // namespace ChunkId

constexpr std::uint32_t headerSize = 6;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// NaN, which a damaged file may hold, counts as 0.
float Clamp01(float value)
{
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return std::min(value, 1.0f);
}

// The length the file's first chunk gives itself, or 0 when it is no main
// chunk.
std::uint32_t MainChunkLength(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 6 || bytes[0] != (ChunkId::main & 0xFF) || bytes[1] != (ChunkId::main >> 8)) {
        return 0;
    }
    return static_cast<std::uint32_t>(bytes[2]) | static_cast<std::uint32_t>(bytes[3]) << 8 |
           static_cast<std::uint32_t>(bytes[4]) << 16 | static_cast<std::uint32_t>(bytes[5]) << 24;
}

}  // namespace

L3DS::L3DS(const std::string& fileName)
{
    // The effect goes on without meshes, or with those a damaged file still
    // held; only the notice tells of the file.
    if (!LoadModel(fileName) || cutShort) {
        NoteUnreadableFile(fileName);
    }
}

L3DS::~L3DS() = default;

bool L3DS::LoadModel(const std::string& fileName)
{
    NoteFileRead(fileName);
    const std::string found = FindAsset(fileName);
    if (IsSpecialFile(found)) {
        DebugOutput(FormatText("Unable to load model: %s (not a regular file)\n", fileName.c_str()));
        return false;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(found.c_str(), "rb"));
    if (!file) {
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        return false;
    }
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    // Not worth reading what LoadFromBytes would refuse.
    if (size <= 0 || static_cast<unsigned long>(size) > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (std::fread(bytes.data(), bytes.size(), 1, file.get()) != 1) {
        return false;
    }
    // A file cut short still gives what its first chunks hold, so the model
    // would lose parts, or vanish, without a word.
    const std::uint32_t declared = MainChunkLength(bytes);
    cutShort = declared > bytes.size();
    if (cutShort) {
        DebugOutput(FormatText("The model %s is damaged: it holds %zu of the %u bytes its chunks declare\n",
                               fileName.c_str(), bytes.size(), static_cast<unsigned>(declared)));
    }
    return LoadFromBytes(std::move(bytes));
}

bool L3DS::LoadFromBytes(std::vector<std::uint8_t> bytes)
{
    // Positions are 32-bit; a larger file is no model.
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    buffer = std::move(bytes);
    bufferSize = static_cast<std::uint32_t>(buffer.size());
    ClearScene();
    const bool result = ReadScene();
    std::vector<std::uint8_t>().swap(buffer);
    bufferSize = 0;
    return result;
}

bool L3DS::ReadScene()
{
    cursor = 0;
    const Chunk main = ReadChunkHeader();
    if (main.id != ChunkId::main || !main.wellFormed) {
        return false;
    }
    Chunk editor{ChunkId::editor};
    if (!FindChunk(editor, main)) {
        return false;
    }

    // Materials first, wherever they stand, so that meshes can name any.
    EnterChunk(editor);
    for (Chunk entry{ChunkId::material}; FindChunk(entry, editor);) {
        ReadMaterialBlock(entry);
        SkipChunk(entry);
    }

    EnterChunk(editor);
    for (Chunk object{ChunkId::object}; FindChunk(object, editor);) {
        ReadCString(objectName, 99);
        const Chunk sub = ReadChunkHeader();
        if (sub.wellFormed && sub.id == ChunkId::triangleMesh) {
            ReadMeshBlock(sub);
        } else if (sub.wellFormed && sub.id == ChunkId::light) {
            ReadLightBlock(sub);
        }
        SkipChunk(object);
    }

    for (LMesh& mesh : meshes) {
        mesh.ComputeNormals();
        mesh.ComputeTangentSpace();
    }
    cursor = 0;
    objectName[0] = '\0';
    return true;
}

bool L3DS::CanRead(std::uint32_t bytes) const
{
    return !buffer.empty() && bufferSize != 0 &&
           static_cast<std::uint64_t>(cursor) + bytes < static_cast<std::uint64_t>(bufferSize);
}

std::uint8_t L3DS::ReadU8()
{
    if (!CanRead(1)) {
        return 0;
    }
    return buffer[cursor++];
}

std::uint16_t L3DS::ReadU16()
{
    if (!CanRead(2)) {
        return 0;
    }
    const auto value = static_cast<std::uint16_t>(buffer[cursor] | (buffer[cursor + 1] << 8));
    cursor += 2;
    return value;
}

std::uint32_t L3DS::ReadU32()
{
    if (!CanRead(4)) {
        return 0;
    }
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(buffer[cursor + i]) << (8 * i);
    }
    cursor += 4;
    return value;
}

float L3DS::ReadF32()
{
    if (!CanRead(4)) {
        return 0.0f;
    }
    const std::uint32_t bits = ReadU32();
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::size_t L3DS::ReadCString(std::span<char> dest, std::size_t limit)
{
    if (buffer.empty() || bufferSize == 0 || cursor >= bufferSize || dest.empty()) {
        return 0;
    }
    limit = std::min(limit, dest.size());
    std::size_t count = 0;
    std::uint8_t byte = ReadU8();
    for (; byte != 0 && count + 1 < limit; byte = ReadU8()) {
        dest[count++] = static_cast<char>(byte);
    }
    dest[count] = '\0';
    // The rest of a long string is passed over, so that what follows it
    // (an object's mesh, a group's face list) is read from its start.
    while (byte != 0) {
        byte = ReadU8();
    }
    return count;
}

std::string L3DS::ReadName(std::size_t limit)
{
    std::array<char, 32> name{};
    const std::size_t length = ReadCString(name, limit);
    return std::string(name.data(), length);
}

void L3DS::SeekTo(std::uint32_t position)
{
    cursor = position;
    if (cursor >= bufferSize) {
        cursor = bufferSize == 0 ? 0 : bufferSize - 1;
    }
}

Chunk L3DS::ReadChunkHeader()
{
    Chunk chunk;
    chunk.id = ReadU16();
    const std::uint32_t length = ReadU32();
    chunk.dataStart = Tell();
    const std::uint64_t end = static_cast<std::uint64_t>(chunk.dataStart) + length - headerSize;
    chunk.wellFormed = length >= headerSize && end <= std::numeric_limits<std::uint32_t>::max();
    chunk.dataEnd = static_cast<std::uint32_t>(end);
    return chunk;
}

bool L3DS::FindChunk(Chunk& target, const Chunk& parent)
{
    if (Tell() >= parent.dataEnd) {
        return false;
    }
    Chunk chunk = ReadChunkHeader();
    while (chunk.wellFormed && chunk.id != target.id) {
        if (chunk.dataEnd > parent.dataEnd) {
            return false;
        }
        SkipChunk(chunk);
        if (chunk.dataEnd >= parent.dataEnd) {
            return false;
        }
        chunk = ReadChunkHeader();
    }
    if (!chunk.wellFormed) {
        return false;
    }
    target.dataStart = chunk.dataStart;
    target.dataEnd = chunk.dataEnd;
    target.wellFormed = true;
    return true;
}

template <typename Handler>
void L3DS::ForEachSubChunk(const Chunk& parent, Handler handle)
{
    for (Chunk sub = ReadChunkHeader(); sub.wellFormed && sub.dataEnd <= parent.dataEnd; sub = ReadChunkHeader()) {
        if (!handle(sub)) {
            return;
        }
        SkipChunk(sub);
        if (sub.dataEnd >= parent.dataEnd) {
            return;
        }
    }
}

Float3 L3DS::ReadColour(const Chunk& chunk)
{
    Float3 colour;
    EnterChunk(chunk);
    if (chunk.id == ChunkId::colourFloat || chunk.id == ChunkId::colourFloatGamma) {
        colour.x = ReadF32();
        colour.y = ReadF32();
        colour.z = ReadF32();
    } else if (chunk.id == ChunkId::colourBytes || chunk.id == ChunkId::colourBytesGamma) {
        colour.x = static_cast<float>(ReadU8() / 255.0);
        colour.y = static_cast<float>(ReadU8() / 255.0);
        colour.z = static_cast<float>(ReadU8() / 255.0);
    }
    return colour;
}

float L3DS::ReadPercentage(const Chunk& chunk)
{
    EnterChunk(chunk);
    if (chunk.id == ChunkId::percentInteger) {
        return static_cast<float>(static_cast<std::int16_t>(ReadU16()) / 100.0);
    }
    if (chunk.id == ChunkId::percentFloat) {
        return ReadF32();
    }
    return 0.0f;
}

void L3DS::ReadMapBlock(const Chunk& chunk, MapInfo& map)
{
    EnterChunk(chunk);
    ForEachSubChunk(chunk, [&](const Chunk& sub) {
        switch (sub.id) {
        case ChunkId::percentInteger: map.strength = ReadPercentage(sub); break;
        case ChunkId::mapFileName: ReadCString(map.fileName, 20); break;
        case ChunkId::mapUScale: map.uScale = ReadF32(); break;
        case ChunkId::mapVScale: map.vScale = ReadF32(); break;
        case ChunkId::mapUOffset: map.uOffset = ReadF32(); break;
        case ChunkId::mapVOffset: map.vOffset = ReadF32(); break;
        case ChunkId::mapAngle: map.angle = ReadF32(); break;
        default: break;
        }
        return true;
    });
}

bool L3DS::ReadReflectionMap(const Chunk& chunk, MapInfo& map)
{
    EnterChunk(chunk);
    const Chunk strength = ReadChunkHeader();
    map.strength = ReadPercentage(strength);
    SkipChunk(strength);
    const Chunk name = ReadChunkHeader();
    if (name.id != ChunkId::mapFileName) {
        return false;
    }
    if (ReadCString(map.fileName, 30) == 0) {
        std::strcpy(map.fileName.data(), "auto");
    }
    return true;
}

void L3DS::ReadMaterialBlock(const Chunk& entry)
{
    LMaterial material;
    bool complete = true;
    EnterChunk(entry);
    ForEachSubChunk(entry, [&](const Chunk& sub) {
        switch (sub.id) {
        case ChunkId::materialName: material.SetName(ReadName(30)); break;
        case ChunkId::ambient: material.ambient = ReadColour(ReadChunkHeader()); break;
        case ChunkId::diffuse: material.diffuse = ReadColour(ReadChunkHeader()); break;
        case ChunkId::specular: material.specular = ReadColour(ReadChunkHeader()); break;
        case ChunkId::shininess: material.shininess = Clamp01(ReadPercentage(ReadChunkHeader())); break;
        case ChunkId::transparency: material.transparency = Clamp01(ReadPercentage(ReadChunkHeader())); break;
        case ChunkId::shading: {
            const std::uint16_t shading = ReadU16();
            if (shading <= 4) {
                material.shading = shading;
            }
            break;
        }
        case ChunkId::wireframe: material.shading = 0; break;
        case ChunkId::textureMap: ReadMapBlock(sub, material.textureMap); break;
        case ChunkId::textureMap2: ReadMapBlock(sub, material.textureMap2); break;
        case ChunkId::opacityMap: ReadMapBlock(sub, material.opacityMap); break;
        case ChunkId::specularMap: ReadMapBlock(sub, material.specularMap); break;
        case ChunkId::bumpMap: ReadMapBlock(sub, material.bumpMap); break;
        case ChunkId::reflectionMap: complete = ReadReflectionMap(sub, material.reflectionMap); break;
        default: break;
        }
        return complete;
    });
    if (!complete) {
        return;
    }
    material.id = static_cast<std::int32_t>(materials.size());
    materials.push_back(material);
}

void L3DS::ReadMeshBlock(const Chunk& chunk)
{
    LMesh mesh;
    mesh.SetName(objectName.data());
    EnterChunk(chunk);
    ForEachSubChunk(chunk, [&](const Chunk& sub) {
        switch (sub.id) {
        case ChunkId::vertexList: {
            const std::uint16_t count = ReadU16();
            mesh.SetVertexCount(count);
            for (std::size_t i = 0; i < count; ++i) {
                const float x = ReadF32();
                const float y = ReadF32();
                const float z = ReadF32();
                mesh.SetVertex(i, {x, y, z, 1.0f});
            }
            break;
        }
        case ChunkId::faceList: ReadFaceBlock(sub, mesh); break;
        case ChunkId::textureCoordinates: {
            const std::uint16_t count = ReadU16();
            if (mesh.VertexCount() == 0) {
                mesh.SetVertexCount(count);
            }
            for (std::size_t i = 0; i < count; ++i) {
                const float u = ReadF32();
                const float v = ReadF32();
                mesh.SetUV(i, {u, v});
            }
            break;
        }
        case ChunkId::localMatrix: {
            std::array<float, 12> f{};
            for (float& value : f) {
                value = ReadF32();
            }
            mesh.SetMatrix({{f[0], f[1], f[2], 0.0f, f[3], f[4], f[5], 0.0f, f[6], f[7], f[8], 0.0f, f[9], f[10], f[11], 1.0f}});
            break;
        }
        default: break;
        }
        return true;
    });
    meshes.push_back(mesh);
}

void L3DS::ReadFaceBlock(const Chunk& chunk, LMesh& mesh)
{
    if (chunk.id != ChunkId::faceList) {
        return;
    }
    EnterChunk(chunk);
    const std::uint16_t count = ReadU16();
    mesh.SetFaceCount(count);
    for (std::size_t i = 0; i < count; ++i) {
        Face face;
        face.a = ReadU16();
        face.b = ReadU16();
        face.c = ReadU16();
        ReadU16();  // edge visibility flags
        face.smoothingGroups = 1;
        mesh.SetFace(i, face);
    }
    ForEachSubChunk(chunk, [&](const Chunk& sub) {
        if (sub.id == ChunkId::materialGroup) {
            ReadMaterialGroup(mesh);
        } else if (sub.id == ChunkId::smoothingGroups) {
            for (Face& face : mesh.faces) {
                face.smoothingGroups = ReadU32();
            }
        }
        return true;
    });
}

void L3DS::ReadMaterialGroup(LMesh& mesh)
{
    // A group naming a material the file lacks says nothing usable.
    const LMaterial* material = FindMaterialByName(ReadName(20));
    if (material == nullptr) {
        return;
    }
    const auto id = static_cast<std::uint32_t>(material->id);
    mesh.AddMaterialId(id);
    const std::uint16_t count = ReadU16();
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t face = ReadU16();
        if (face < mesh.FaceCount()) {
            mesh.faces[face].materialId = id;
        }
    }
}

void L3DS::ReadLightBlock(const Chunk& chunk)
{
    LLight light;
    light.SetName(objectName.data());
    EnterChunk(chunk);
    light.position.x = ReadF32();
    light.position.y = ReadF32();
    light.position.z = ReadF32();
    ForEachSubChunk(chunk, [&](const Chunk& sub) {
        switch (sub.id) {
        case ChunkId::colourFloat:
        case ChunkId::colourBytes:
        case ChunkId::colourBytesGamma:
        case ChunkId::colourFloatGamma: light.colour = ReadColour(sub); break;
        case ChunkId::spotlight:
            light.target.x = ReadF32();
            light.target.y = ReadF32();
            light.target.z = ReadF32();
            light.hotspot = ReadF32();
            light.falloff = ReadF32();
            break;
        default: break;
        }
        return true;
    });
    lights.push_back(light);
}
