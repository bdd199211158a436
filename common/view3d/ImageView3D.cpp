#include "common/view3d/ImageView3D.h"

#include "common/log/Logger.h"
#include "common/view3d/ImageView3DModel.h"

#include <QOpenGLContext>
#include <QOpenGLDebugLogger>
#include <QOpenGLShaderProgram>
#include <QSurfaceFormat>

namespace
{
// Axes from the origin along x, y and z, beyond the unit square the mesh
// covers, each with an arrow head: line pairs at 0, 2, 4, heads at 6, 9, 12.
constexpr float AXIS_LENGTH = 1.2f;
constexpr float HEAD_LENGTH = 0.1f;
constexpr float HEAD_WIDTH = 0.04f;
constexpr float AXIS_VERTICES[] = {0,
                                   0,
                                   0,
                                   AXIS_LENGTH,
                                   0,
                                   0, //
                                   0,
                                   0,
                                   0,
                                   0,
                                   AXIS_LENGTH,
                                   0, //
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   AXIS_LENGTH, //
                                   AXIS_LENGTH + HEAD_LENGTH,
                                   0,
                                   0,
                                   AXIS_LENGTH,
                                   HEAD_WIDTH,
                                   0,
                                   AXIS_LENGTH,
                                   -HEAD_WIDTH,
                                   0,
                                   0,
                                   AXIS_LENGTH + HEAD_LENGTH,
                                   0,
                                   -HEAD_WIDTH,
                                   AXIS_LENGTH,
                                   0,
                                   HEAD_WIDTH,
                                   AXIS_LENGTH,
                                   0,
                                   0,
                                   0,
                                   AXIS_LENGTH + HEAD_LENGTH,
                                   -HEAD_WIDTH,
                                   0,
                                   AXIS_LENGTH,
                                   HEAD_WIDTH,
                                   0,
                                   AXIS_LENGTH};

// The outline of the square an image's mesh lies on, at height 0: shows
// where the image goes before there is one, and its black parts after.
constexpr float AUXILIARY_VERTICES[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

bool ProbeContext()
{
    if (QOpenGLContext::openGLModuleType() != QOpenGLContext::LibGL)
    {
        CLog::Write(ELogLevel::ERROR, "3D view: the platform's OpenGL is not desktop OpenGL");
        return false;
    }
    QOpenGLContext context;
    context.setFormat(QSurfaceFormat::defaultFormat());
    if (!context.create())
    {
        CLog::Write(ELogLevel::ERROR, "3D view: no OpenGL context can be created");
        return false;
    }
    const QSurfaceFormat format = context.format();
    if (format.version() < qMakePair(3, 3))
    {
        CLog::Write(ELogLevel::ERROR, "3D view: OpenGL %d.%d is below 3.3", format.majorVersion(),
                    format.minorVersion());
        return false;
    }
    return true;
}

std::unique_ptr<QOpenGLShaderProgram> LinkProgram(const QString& strVertex, const QString& strFragment)
{
    auto pProgram = std::make_unique<QOpenGLShaderProgram>();
    if (!pProgram->addShaderFromSourceFile(QOpenGLShader::Vertex, strVertex) ||
        !pProgram->addShaderFromSourceFile(QOpenGLShader::Fragment, strFragment) || !pProgram->link())
        CLog::Write(ELogLevel::ERROR, "OpenGL: shader program %s failed: %s", strVertex.toUtf8().constData(),
                    pProgram->log().toUtf8().constData());
    return pProgram;
}

// A buffer of positions only, bound to attribute 0 of its vertex array.
void CreatePositions(QOpenGLVertexArrayObject& array, QOpenGLBuffer& buffer, const float* pData, int nBytes)
{
    array.create();
    QOpenGLVertexArrayObject::Binder binder(&array);
    buffer.create();
    buffer.bind();
    buffer.setUsagePattern(QOpenGLBuffer::StaticDraw);
    buffer.allocate(pData, nBytes);
    QOpenGLFunctions* pFunctions = QOpenGLContext::currentContext()->functions();
    pFunctions->glEnableVertexAttribArray(0);
    pFunctions->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    buffer.release();
}
} // namespace

CImageView3D::CImageView3D(CImageView3DModel* pModel, QWidget* pParent)
    : QOpenGLWidget(pParent), m_pModel(pModel)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CImageView3D::slot_ShowContextMenu);
    InitMatrix();
}

CImageView3D::~CImageView3D()
{
    if (!context())
        return;
    // The base class destroys the context after this part of the object is
    // gone; its signal must not reach us then.
    disconnect(context(), nullptr, this, nullptr);
    makeCurrent();
    ReleaseResources();
    doneCurrent();
}

bool CImageView3D::IsSupported()
{
    static const bool bSupported = ProbeContext();
    return bSupported;
}

void CImageView3D::SetDefaultSurfaceFormat()
{
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setDepthBufferSize(24);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);
}

void CImageView3D::initializeGL()
{
    CLog::Write(ELogLevel::DEBUG, "Init OpenGl");
    initializeOpenGLFunctions();
    CLog::Write(ELogLevel::DEBUG, "OpenGL version: %s, %s",
                reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)));
    // A widget moved to another window gets a new context; the old one's
    // objects go with it.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &CImageView3D::slot_ContextAboutToBeDestroyed, Qt::UniqueConnection);
    if (context()->hasExtension(QByteArrayLiteral("GL_KHR_debug")))
    {
        m_pDebugLogger = new QOpenGLDebugLogger(this);
        connect(m_pDebugLogger, &QOpenGLDebugLogger::messageLogged, this,
                &CImageView3D::slot_OpenGLMessageLogged);
        if (m_pDebugLogger->initialize())
            m_pDebugLogger->startLogging();
    }
    if (!CreatePrograms())
        return;
    CreateAxes();
    CreateAuxiliary();
    CreateMeshBuffers();
    // A mesh that was finished before the view had a context.
    if (m_pModel && m_pModel->GetVerticesSize() > 0)
        Upload();
}

bool CImageView3D::CreatePrograms()
{
    const QString strAxisVertex = QStringLiteral(":/OpenGL/axis_vertex.vert");
    const QString strAxisFragment = QStringLiteral(":/OpenGL/axis_frag.frag");
    m_pMeshProgram = LinkProgram(QStringLiteral(":/OpenGL/vertex_shader.vert"),
                                 QStringLiteral(":/OpenGL/frag_shader.frag"));
    m_pAxisProgram = LinkProgram(strAxisVertex, strAxisFragment);
    m_pAuxiliaryProgram = LinkProgram(strAxisVertex, strAxisFragment);
    return m_pMeshProgram->isLinked() && m_pAxisProgram->isLinked() && m_pAuxiliaryProgram->isLinked();
}

void CImageView3D::CreateAxes()
{
    CreatePositions(m_axisArray, m_axisBuffer, AXIS_VERTICES, int(sizeof(AXIS_VERTICES)));
}

void CImageView3D::CreateAuxiliary()
{
    CreatePositions(m_auxiliaryArray, m_auxiliaryBuffer, AUXILIARY_VERTICES, int(sizeof(AUXILIARY_VERTICES)));
}

void CImageView3D::CreateMeshBuffers()
{
    m_meshArray.create();
    m_vertexBuffer.create();
    m_indexBuffer.create();
}

void CImageView3D::ReleaseResources()
{
    if (m_pDebugLogger)
        m_pDebugLogger->stopLogging();
    delete m_pDebugLogger;
    m_pDebugLogger = nullptr;
    m_meshArray.destroy();
    m_vertexBuffer.destroy();
    m_indexBuffer.destroy();
    m_axisArray.destroy();
    m_axisBuffer.destroy();
    m_auxiliaryArray.destroy();
    m_auxiliaryBuffer.destroy();
    m_pMeshProgram.reset();
    m_pAxisProgram.reset();
    m_pAuxiliaryProgram.reset();
    m_nVertexCount = 0;
    m_nIndexCount = 0;
}

void CImageView3D::slot_ContextAboutToBeDestroyed()
{
    makeCurrent();
    ReleaseResources();
    doneCurrent();
}

void CImageView3D::slot_LoadFinished()
{
    if (!m_pModel || !m_vertexBuffer.isCreated() || !m_meshArray.isCreated())
        return;
    makeCurrent();
    Upload();
    doneCurrent();
}

void CImageView3D::Upload()
{
    CLog::Write(ELogLevel::DEBUG, "Start upload data to gpu");
    CLog::Write(ELogLevel::DEBUG, "OpenGL Error: %d", int(glGetError()));
    m_nVertexCount = int(m_pModel->GetVerticesSize());
    m_nIndexCount = int(m_pModel->GetIndicesSize());
    m_meshArray.bind();
    m_vertexBuffer.bind();
    m_vertexBuffer.setUsagePattern(QOpenGLBuffer::StaticDraw);
    m_vertexBuffer.allocate(m_pModel->GetVerticesBuffer(), m_nVertexCount * int(sizeof(float)));
    m_indexBuffer.bind();
    m_indexBuffer.setUsagePattern(QOpenGLBuffer::StaticDraw);
    m_indexBuffer.allocate(m_pModel->GetIndicesBuffer(), m_nIndexCount * int(sizeof(uint32_t)));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float),
                          reinterpret_cast<void*>(3 * sizeof(float)));
    CLog::Write(ELogLevel::DEBUG, "OpenGL Error: %d", int(glGetError()));
    // The array first: releasing the index buffer while it is bound would
    // take the buffer out of it.
    m_meshArray.release();
    m_vertexBuffer.release();
    m_indexBuffer.release();
    m_pModel->ClearBufferData();
    CLog::Write(ELogLevel::DEBUG, "OpenGL vertices: %d, indices: %d", m_nVertexCount, m_nIndexCount);
    update();
    CLog::Write(ELogLevel::DEBUG, "Set Image OpenGL");
}
