#pragma once

#include <QMatrix4x4>
#include <QOpenGLBuffer>
#include <QOpenGLDebugMessage>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <QPoint>
#include <QPointer>

#include <memory>

class CImageView3DModel;
class QOpenGLDebugLogger;
class QOpenGLShaderProgram;

// The current image of a view as a height field with three coloured axes,
// drawn with OpenGL 3.3 core shaders. Shows and emits only: the mesh comes
// from the model (borrowed, may go first), mouse gestures and the property
// view become model changes through the controller. Parented into the view
// frame; GUI thread.
//
// What the view unit connects: the image list's signal_ChangeCurrentImage
// to this view's signal_ChangeCurrentImage (a relay, or slot_ChangeImage);
// the controller connects everything else (CImageView3DController).
// Create it only where IsSupported() is true: a window holding an OpenGL
// widget without a context cannot paint at all.
class CImageView3D : public QOpenGLWidget, protected QOpenGLFunctions
{
    Q_OBJECT
public:
    explicit CImageView3D(CImageView3DModel* pModel, QWidget* pParent = nullptr);
    ~CImageView3D() override;

    // Whether the platform's OpenGL is desktop OpenGL and gives a context of
    // at least version 3.3 in the default surface format. Asked once per
    // process, so only after the default format is set (the main window
    // sets it before it builds the views); logs why not. GUI thread.
    static bool IsSupported();
    // The format the view needs (OpenGL 3.3 core, depth, double buffer) as
    // the default of every context: call before the first widget exists.
    static void SetDefaultSurfaceFormat();

    // Floats and indices of the mesh on the GPU (six floats per vertex).
    int GetVertexCount() const { return m_nVertexCount; }
    int GetIndexCount() const { return m_nIndexCount; }

signals:
    void signal_Active3DView();
    void signal_ChangeCurrentImage();
    void signal_Switch3DTo2D();
    void signal_ChangeRotateX(double dValue);
    void signal_ChangeRotateY(double dValue);
    void signal_ChangeFOV(double dValue);

public slots:
    // Uploads the model's mesh and lets the model drop its copy.
    void slot_LoadFinished();
    void slot_ChangeTransformMatrix();
    // Relays an image change as signal_ChangeCurrentImage.
    void slot_ChangeImage();
    void slot_ShowContextMenu(const QPoint& ptPosition);
    void slot_Timmer();
    void slot_OpenGLMessageLogged(const QOpenGLDebugMessage& message);

protected:
    void initializeGL() override;
    void resizeGL(int nWidth, int nHeight) override;
    void paintGL() override;
    // Becoming visible, also through a parent, builds the mesh of the
    // current image and makes this the active view.
    void showEvent(QShowEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    bool CreatePrograms();
    void CreateAxes();
    void CreateAuxiliary();
    void CreateMeshBuffers();
    void Upload();
    // Frees every GL object; the context must be current.
    void ReleaseResources();
    void slot_ContextAboutToBeDestroyed();
    void InitMatrix();
    void InitProjection();
    void SetMatrices(QOpenGLShaderProgram& program);
    void DrawAxes();
    void DrawMesh();

    QPointer<CImageView3DModel> m_pModel;
    std::unique_ptr<QOpenGLShaderProgram> m_pMeshProgram;
    std::unique_ptr<QOpenGLShaderProgram> m_pAxisProgram;
    std::unique_ptr<QOpenGLShaderProgram> m_pAuxiliaryProgram;
    QOpenGLBuffer m_vertexBuffer{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer m_indexBuffer{QOpenGLBuffer::IndexBuffer};
    QOpenGLVertexArrayObject m_meshArray;
    QOpenGLBuffer m_axisBuffer{QOpenGLBuffer::VertexBuffer};
    QOpenGLVertexArrayObject m_axisArray;
    QOpenGLBuffer m_auxiliaryBuffer{QOpenGLBuffer::VertexBuffer};
    QOpenGLVertexArrayObject m_auxiliaryArray;
    QOpenGLDebugLogger* m_pDebugLogger = nullptr;

    QMatrix4x4 m_matModel;
    QMatrix4x4 m_matView;
    QMatrix4x4 m_matProjection;

    QPoint m_ptLast;
    bool m_bPressed = false;
    int m_nVertexCount = 0;
    int m_nIndexCount = 0;
};
