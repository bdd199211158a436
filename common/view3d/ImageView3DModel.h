#pragma once

#include "common/mvc/CenterModel.h"

#include "optra/Image.h"

#include <QMutex>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The values of the 3D view that the property view edits, in the order of
// its spin boxes.
enum class EImageView3DValue : int
{
    RotateX,
    RotateY,
    RotateZ,
    TranslateX,
    TranslateY,
    TranslateZ,
    ScaleX,
    ScaleY,
    ScaleZ,
    CameraPositionX,
    CameraPositionY,
    CameraPositionZ,
    CameraCenterX,
    CameraCenterY,
    CameraCenterZ,
    CameraUpX,
    CameraUpY,
    CameraUpZ,
    FOV,
    Near,
    Far,
    Count
};

// The height-field mesh of one image: six floats per vertex (x, y, z, r, g,
// b) and three indices per triangle.
struct SImageView3DMesh
{
    std::vector<float> vctVertices;
    std::vector<uint32_t> vctIndices;
};

// Model of one 3D view: the transform, camera and perspective values, and
// the mesh of the current image, built by jobs on the global thread pool.
// A job builds into a mesh of its own and hands it to the model on the
// model's thread; a job that a newer request made stale stops early and its
// result is dropped, so the last image asked for is the one shown. Owned by
// the view unit; lives on the GUI thread; its destructor waits for running
// jobs. The progress signals come from the building thread; the view unit
// connects them to its progress slots (CImageView3DController::Create does).
class CImageView3DModel : public CModel
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    // Largest number of vertices a mesh gets (2048 x 2048); bigger images
    // are sampled on a regular stride. About 200 MB of mesh in memory and
    // as much again on the GPU.
    static constexpr size_t VERTEX_BUDGET = size_t(2048) * 2048;

    explicit CImageView3DModel(QObject* pParent = nullptr);
    ~CImageView3DModel() override;

    float GetValue(EImageView3DValue eValue) const { return m_arrValues[size_t(eValue)]; }
    // Stores the value and emits signal_ChangeTransformMatrix, unless it
    // equals the stored one within the imaging library's float tolerance.
    void SetValue(EImageView3DValue eValue, float fValue);

    float GetRotateX() const { return GetValue(EImageView3DValue::RotateX); }
    float GetRotateY() const { return GetValue(EImageView3DValue::RotateY); }
    float GetRotateZ() const { return GetValue(EImageView3DValue::RotateZ); }
    float GetTranslateX() const { return GetValue(EImageView3DValue::TranslateX); }
    float GetTranslateY() const { return GetValue(EImageView3DValue::TranslateY); }
    float GetTranslateZ() const { return GetValue(EImageView3DValue::TranslateZ); }
    float GetScaleX() const { return GetValue(EImageView3DValue::ScaleX); }
    float GetScaleY() const { return GetValue(EImageView3DValue::ScaleY); }
    float GetScaleZ() const { return GetValue(EImageView3DValue::ScaleZ); }
    float GetCameraPositionX() const { return GetValue(EImageView3DValue::CameraPositionX); }
    float GetCameraPositionY() const { return GetValue(EImageView3DValue::CameraPositionY); }
    float GetCameraPositionZ() const { return GetValue(EImageView3DValue::CameraPositionZ); }
    float GetCameraCenterX() const { return GetValue(EImageView3DValue::CameraCenterX); }
    float GetCameraCenterY() const { return GetValue(EImageView3DValue::CameraCenterY); }
    float GetCameraCenterZ() const { return GetValue(EImageView3DValue::CameraCenterZ); }
    float GetCameraUpX() const { return GetValue(EImageView3DValue::CameraUpX); }
    float GetCameraUpY() const { return GetValue(EImageView3DValue::CameraUpY); }
    float GetCameraUpZ() const { return GetValue(EImageView3DValue::CameraUpZ); }
    float GetFOV() const { return GetValue(EImageView3DValue::FOV); }
    float GetNear() const { return GetValue(EImageView3DValue::Near); }
    float GetFar() const { return GetValue(EImageView3DValue::Far); }

    void SetRotateX(float f) { SetValue(EImageView3DValue::RotateX, f); }
    void SetRotateY(float f) { SetValue(EImageView3DValue::RotateY, f); }
    void SetRotateZ(float f) { SetValue(EImageView3DValue::RotateZ, f); }
    void SetTranslateX(float f) { SetValue(EImageView3DValue::TranslateX, f); }
    void SetTranslateY(float f) { SetValue(EImageView3DValue::TranslateY, f); }
    void SetTranslateZ(float f) { SetValue(EImageView3DValue::TranslateZ, f); }
    void SetScaleX(float f) { SetValue(EImageView3DValue::ScaleX, f); }
    void SetScaleY(float f) { SetValue(EImageView3DValue::ScaleY, f); }
    void SetScaleZ(float f) { SetValue(EImageView3DValue::ScaleZ, f); }
    void SetCameraPositionX(float f) { SetValue(EImageView3DValue::CameraPositionX, f); }
    void SetCameraPositionY(float f) { SetValue(EImageView3DValue::CameraPositionY, f); }
    void SetCameraPositionZ(float f) { SetValue(EImageView3DValue::CameraPositionZ, f); }
    void SetCameraCenterX(float f) { SetValue(EImageView3DValue::CameraCenterX, f); }
    void SetCameraCenterY(float f) { SetValue(EImageView3DValue::CameraCenterY, f); }
    void SetCameraCenterZ(float f) { SetValue(EImageView3DValue::CameraCenterZ, f); }
    void SetCameraUpX(float f) { SetValue(EImageView3DValue::CameraUpX, f); }
    void SetCameraUpY(float f) { SetValue(EImageView3DValue::CameraUpY, f); }
    void SetCameraUpZ(float f) { SetValue(EImageView3DValue::CameraUpZ, f); }
    void SetFOV(float f) { SetValue(EImageView3DValue::FOV, f); }
    void SetNear(float f) { SetValue(EImageView3DValue::Near, f); }
    void SetFar(float f) { SetValue(EImageView3DValue::Far, f); }

    // The mesh handed over by the last build, until ClearBufferData. Model
    // thread only.
    const float* GetVerticesBuffer() const { return m_mesh.vctVertices.data(); }
    // Number of floats, six per vertex.
    size_t GetVerticesSize() const { return m_mesh.vctVertices.size(); }
    const uint32_t* GetIndicesBuffer() const { return m_mesh.vctIndices.data(); }
    size_t GetIndicesSize() const { return m_mesh.vctIndices.size(); }
    // Empties both buffers and gives their memory back.
    void ClearBufferData();

    // Builds the mesh of image on the calling thread as the newest request.
    // No image (or an empty one) gives an empty mesh, so the view shows no
    // stale surface. Called on the model's thread, the mesh is in place and
    // signal_LoadFinished emitted when it returns; from another thread they
    // follow through the model's event queue.
    void LoadImage(ImagePtr pImage);

    // A job's place in the order of requests. RequestBuild (model thread)
    // makes every earlier ticket stale; each ticket must be given back once
    // with FinishBuild, which the destructor waits for.
    uint64_t RequestBuild();
    void FinishBuild();
    // The build of one ticket; any thread. Builds run one at a time.
    void LoadImage(uint64_t nTicket, ImagePtr pImage);

    // Grid step so that the mesh of a width x height image keeps within
    // nBudget vertices: 1 up to the budget.
    static int SampleStride(int nWidth, int nHeight, size_t nBudget);
    // Builds the mesh of image sampled every nStride pixels. fnStop is asked
    // between rows; when it says yes the build ends and returns false.
    // fnProgress gets 10 after the vertex buffer is reserved and 30 after
    // the vertices.
    static bool BuildMesh(const Optra::Algorithms::CImage& image, int nStride, SImageView3DMesh& mesh,
                          const std::function<bool()>& fnStop, const std::function<void(int)>& fnProgress);

signals:
    void signal_ChangeTransformMatrix();
    void signal_ChangeProgressValue(int nValue);
    void signal_ChangeProgressMaxRange(int nMaximum);
    // A new mesh is in the buffers.
    void signal_LoadFinished();

private:
    bool IsStale(uint64_t nTicket) const { return nTicket != m_nLatestTicket.load(); }
    // Builds one image into mesh; false when the build stopped or failed.
    bool Build(uint64_t nTicket, const ImagePtr& pImage, SImageView3DMesh& mesh);
    // Model thread: takes the mesh of a ticket that is still the newest.
    void AcceptMesh(uint64_t nTicket, SImageView3DMesh& mesh);

    std::array<float, size_t(EImageView3DValue::Count)> m_arrValues;
    SImageView3DMesh m_mesh;

    // Held while a mesh is built.
    QMutex m_mutexBuild;
    std::atomic<uint64_t> m_nLatestTicket{0};
    QMutex m_mutexJobs;
    QWaitCondition m_conditionJobs;
    int m_nJobs = 0;
};
