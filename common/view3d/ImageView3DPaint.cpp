// Matrices and painting of the 3D view.
#include "common/view3d/ImageView3D.h"

#include "common/view3d/ImageView3DModel.h"

#include <QOpenGLShaderProgram>
#include <QVector3D>

#include <algorithm>

namespace
{
const QVector3D RED(1, 0, 0);
const QVector3D GREEN(0, 1, 0);
const QVector3D BLUE(0, 0, 1);
const QVector3D GREY(0.5f, 0.5f, 0.5f);
} // namespace

void CImageView3D::InitMatrix()
{
    if (!m_pModel)
        return;
    const CImageView3DModel& model = *m_pModel;
    m_matModel.setToIdentity();
    m_matModel.rotate(model.GetRotateX(), 1, 0, 0);
    m_matModel.rotate(model.GetRotateY(), 0, 1, 0);
    m_matModel.rotate(model.GetRotateZ(), 0, 0, 1);
    m_matModel.translate(model.GetTranslateX(), model.GetTranslateY(), model.GetTranslateZ());
    m_matModel.scale(model.GetScaleX(), model.GetScaleY(), model.GetScaleZ());
    m_matView.setToIdentity();
    m_matView.lookAt(
        QVector3D(model.GetCameraPositionX(), model.GetCameraPositionY(), model.GetCameraPositionZ()),
        QVector3D(model.GetCameraCenterX(), model.GetCameraCenterY(), model.GetCameraCenterZ()),
        QVector3D(model.GetCameraUpX(), model.GetCameraUpY(), model.GetCameraUpZ()));
    InitProjection();
}

void CImageView3D::InitProjection()
{
    if (!m_pModel)
        return;
    // A widget squeezed to no height must not give an infinite aspect.
    const float fAspect = float(width()) / float(std::max(1, height()));
    m_matProjection.setToIdentity();
    m_matProjection.perspective(m_pModel->GetFOV(), fAspect, m_pModel->GetNear(), m_pModel->GetFar());
}

void CImageView3D::resizeGL(int nWidth, int nHeight)
{
    const qreal dRatio = devicePixelRatioF();
    glViewport(0, 0, int(nWidth * dRatio), int(nHeight * dRatio));
    InitProjection();
}

void CImageView3D::slot_ChangeTransformMatrix()
{
    InitMatrix();
    update();
}

void CImageView3D::slot_Timmer()
{
    update();
}

void CImageView3D::SetMatrices(QOpenGLShaderProgram& program)
{
    program.setUniformValue("model", m_matModel);
    program.setUniformValue("view", m_matView);
    program.setUniformValue("projection", m_matProjection);
}

void CImageView3D::paintGL()
{
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_pAxisProgram && m_pAxisProgram->isLinked())
    {
        glEnable(GL_DEPTH_TEST);
        DrawAxes();
    }
    DrawMesh();
}

void CImageView3D::DrawAxes()
{
    m_pAxisProgram->bind();
    SetMatrices(*m_pAxisProgram);
    {
        QOpenGLVertexArrayObject::Binder binder(&m_axisArray);
        const struct
        {
            QVector3D colour;
            int nLine;
            int nHead;
        } arrAxes[] = {{RED, 0, 6}, {GREEN, 2, 9}, {BLUE, 4, 12}};
        for (const auto& axis : arrAxes)
        {
            m_pAxisProgram->setUniformValue("uColor", axis.colour);
            glDrawArrays(GL_LINES, axis.nLine, 2);
            glDrawArrays(GL_TRIANGLES, axis.nHead, 3);
        }
    }
    m_pAxisProgram->release();
    if (!m_auxiliaryArray.isCreated() || !m_pAuxiliaryProgram || !m_pAuxiliaryProgram->isLinked())
        return;
    m_pAuxiliaryProgram->bind();
    SetMatrices(*m_pAuxiliaryProgram);
    m_pAuxiliaryProgram->setUniformValue("uColor", GREY);
    QOpenGLVertexArrayObject::Binder binder(&m_auxiliaryArray);
    glDrawArrays(GL_LINE_LOOP, 0, 4);
    m_pAuxiliaryProgram->release();
}

void CImageView3D::DrawMesh()
{
    if (m_nIndexCount <= 0 || !m_pMeshProgram || !m_pMeshProgram->isLinked())
        return;
    m_pMeshProgram->bind();
    SetMatrices(*m_pMeshProgram);
    QOpenGLVertexArrayObject::Binder binder(&m_meshArray);
    glDrawElements(GL_TRIANGLES, m_nIndexCount, GL_UNSIGNED_INT, nullptr);
    m_pMeshProgram->release();
}
