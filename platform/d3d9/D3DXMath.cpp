// D3DX 9 math: colour conversion, matrix products and the matrix and vector builders.
// Implemented: everything declared in d3d9/D3DXMath.h, from the textbook formulas for row
//              vectors (p x M) and a 0..1 clip depth.
// Left out:    nothing of the header; see the header for the parts of D3DX not declared.
#include <d3d9/D3DXMath.h>

#include <algorithm>
#include <cmath>

namespace {

BYTE ChannelToByte(float channel)
{
    if (channel >= 1.0f)
        return 0xFF;
    if (channel <= 0.0f)
        return 0x00;
    return static_cast<BYTE>(channel * 255.0f + 0.5f);
}

float ByteToChannel(DWORD value, int shift)
{
    return static_cast<float>((value >> shift) & 0xFF) * (1.0f / 255.0f);
}

D3DXMATRIX Product(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    D3DXMATRIX out;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            out.m[row][col] = a.m[row][0] * b.m[0][col] + a.m[row][1] * b.m[1][col] +
                              a.m[row][2] * b.m[2][col] + a.m[row][3] * b.m[3][col];
        }
    }
    return out;
}

// The camera basis in rows 1 to 3 as columns, the eye's projections in the translation row.
D3DXMATRIX* LookAtFromAxes(D3DXMATRIX* out, const D3DXVECTOR3& eye, const D3DXVECTOR3& zAxis,
                           const D3DXVECTOR3* up)
{
    D3DXVECTOR3 xAxis;
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVECTOR3 yAxis;
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0.0f,
                      xAxis.y, yAxis.y, zAxis.y, 0.0f,
                      xAxis.z, yAxis.z, zAxis.z, 0.0f,
                      -D3DXVec3Dot(&xAxis, &eye), -D3DXVec3Dot(&yAxis, &eye), -D3DXVec3Dot(&zAxis, &eye), 1.0f);
    return out;
}

} // namespace

D3DXCOLOR::D3DXCOLOR(DWORD argb)
    : D3DCOLORVALUE{ByteToChannel(argb, 16), ByteToChannel(argb, 8), ByteToChannel(argb, 0),
                    ByteToChannel(argb, 24)}
{
}

D3DXCOLOR::operator DWORD() const
{
    return D3DCOLOR_ARGB(ChannelToByte(a), ChannelToByte(r), ChannelToByte(g), ChannelToByte(b));
}

D3DXMATRIX::D3DXMATRIX(const float* values)
{
    std::copy(values, values + 16, &_11);
}

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14,
                       float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34,
                       float m41, float m42, float m43, float m44)
{
    _11 = m11; _12 = m12; _13 = m13; _14 = m14;
    _21 = m21; _22 = m22; _23 = m23; _24 = m24;
    _31 = m31; _32 = m32; _33 = m33; _34 = m34;
    _41 = m41; _42 = m42; _43 = m43; _44 = m44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other)
{
    *this = Product(*this, other);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& other)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] += (&other._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& other)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] -= (&other._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] *= f;
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const { return Product(*this, other); }

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& other) const
{
    D3DXMATRIX out = *this;
    return out += other;
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& other) const
{
    D3DXMATRIX out = *this;
    return out -= other;
}

D3DXMATRIX D3DXMATRIX::operator*(float f) const
{
    D3DXMATRIX out = *this;
    return out *= f;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const
{
    return std::equal(&_11, &_11 + 16, &other._11);
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX(1.0f, 0.0f, 0.0f, 0.0f,
                      0.0f, 1.0f, 0.0f, 0.0f,
                      0.0f, 0.0f, 1.0f, 0.0f,
                      0.0f, 0.0f, 0.0f, 1.0f);
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    *out = Product(*a, *b);
    return out;
}

// Inverse by cofactors (the adjugate divided by the determinant), in double precision so
// that nearly singular camera matrices keep their accuracy.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* mat)
{
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = (&mat->_11)[i];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] + a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] + a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] - a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] - a[8] * a[2] * a[5];

    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (determinant)
        *determinant = static_cast<float>(det);
    if (det == 0.0 || !std::isfinite(det))
        return nullptr;
    const double scale = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        (&out->_11)[i] = static_cast<float>(inv[i] * scale);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
    D3DXMatrixIdentity(out);
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

namespace {

// A rotation in the plane of axes i and j (row vectors): i turns towards j.
D3DXMATRIX* PlaneRotation(D3DXMATRIX* out, float angle, int i, int j)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[i][i] = c;
    out->m[i][j] = s;
    out->m[j][i] = -s;
    out->m[j][j] = c;
    return out;
}

} // namespace

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) { return PlaneRotation(out, angle, 1, 2); }

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) { return PlaneRotation(out, angle, 2, 0); }

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) { return PlaneRotation(out, angle, 0, 1); }

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    D3DXMatrixIdentity(out);
    out->_11 = t * n.x * n.x + c;
    out->_12 = t * n.x * n.y + s * n.z;
    out->_13 = t * n.x * n.z - s * n.y;
    out->_21 = t * n.x * n.y - s * n.z;
    out->_22 = t * n.y * n.y + c;
    out->_23 = t * n.y * n.z + s * n.x;
    out->_31 = t * n.x * n.z + s * n.y;
    out->_32 = t * n.y * n.z - s * n.x;
    out->_33 = t * n.z * n.z + c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q)
{
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    D3DXMatrixIdentity(out);
    out->_11 = 1.0f - 2.0f * (y * y + z * z);
    out->_12 = 2.0f * (x * y + z * w);
    out->_13 = 2.0f * (x * z - y * w);
    out->_21 = 2.0f * (x * y - z * w);
    out->_22 = 1.0f - 2.0f * (x * x + z * z);
    out->_23 = 2.0f * (y * z + x * w);
    out->_31 = 2.0f * (x * z + y * w);
    out->_32 = 2.0f * (y * z - x * w);
    out->_33 = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll)
{
    D3DXMATRIX rollM, pitchM, yawM;
    D3DXMatrixRotationZ(&rollM, roll);
    D3DXMatrixRotationX(&pitchM, pitch);
    D3DXMatrixRotationY(&yawM, yaw);
    *out = rollM * pitchM * yawM;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up)
{
    // Right-handed: the camera looks down its negative z axis.
    D3DXVECTOR3 zAxis = *eye - *at;
    D3DXVec3Normalize(&zAxis, &zAxis);
    return LookAtFromAxes(out, *eye, zAxis, up);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up)
{
    D3DXVECTOR3 zAxis = *at - *eye;
    D3DXVec3Normalize(&zAxis, &zAxis);
    return LookAtFromAxes(out, *eye, zAxis, up);
}

D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf)
{
    const float yScale = 1.0f / std::tan(fovy * 0.5f);
    const float xScale = yScale / aspect;
    *out = D3DXMATRIX(xScale, 0.0f, 0.0f, 0.0f,
                      0.0f, yScale, 0.0f, 0.0f,
                      0.0f, 0.0f, zf / (zn - zf), -1.0f,
                      0.0f, 0.0f, zn * zf / (zn - zf), 0.0f);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf)
{
    const float yScale = 1.0f / std::tan(fovy * 0.5f);
    const float xScale = yScale / aspect;
    *out = D3DXMATRIX(xScale, 0.0f, 0.0f, 0.0f,
                      0.0f, yScale, 0.0f, 0.0f,
                      0.0f, 0.0f, zf / (zf - zn), 1.0f,
                      0.0f, 0.0f, -zn * zf / (zf - zn), 0.0f);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf)
{
    *out = D3DXMATRIX(2.0f / w, 0.0f, 0.0f, 0.0f,
                      0.0f, 2.0f / h, 0.0f, 0.0f,
                      0.0f, 0.0f, 1.0f / (zf - zn), 0.0f,
                      0.0f, 0.0f, zn / (zn - zf), 1.0f);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t,
                                       float zn, float zf)
{
    *out = D3DXMATRIX(2.0f / (r - l), 0.0f, 0.0f, 0.0f,
                      0.0f, 2.0f / (t - b), 0.0f, 0.0f,
                      0.0f, 0.0f, 1.0f / (zf - zn), 0.0f,
                      (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1.0f);
    return out;
}

// Picks the largest of w, x, y, z from the diagonal first, so the square root is taken of a
// number well away from zero whatever the rotation.
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m)
{
    const float trace = m->_11 + m->_22 + m->_33;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        *out = {(m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s};
    } else if (m->_11 > m->_22 && m->_11 > m->_33) {
        const float s = std::sqrt(1.0f + m->_11 - m->_22 - m->_33) * 2.0f;
        *out = {0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s};
    } else if (m->_22 > m->_33) {
        const float s = std::sqrt(1.0f + m->_22 - m->_11 - m->_33) * 2.0f;
        *out = {(m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s};
    } else {
        const float s = std::sqrt(1.0f + m->_33 - m->_11 - m->_22) * 2.0f;
        *out = {(m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s};
    }
    return out;
}

float D3DXVec3LengthSq(const D3DXVECTOR3* v) { return v->x * v->x + v->y * v->y + v->z * v->z; }

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }

float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float length = D3DXVec3Length(v);
    if (length == 0.0f)
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    else
        *out = *v / length;
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s)
{
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
    const float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
    const float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
    const float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
    const float invW = w != 0.0f ? 1.0f / w : 0.0f;
    *out = D3DXVECTOR3(x * invW, y * invW, z * invW);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    *out = D3DXVECTOR3(v->x * m->_11 + v->y * m->_21 + v->z * m->_31,
                       v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                       v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
    return out;
}
