// Named-object bases: the class-name chain, name, file name, handle and reference count.
#include <lumenkit/GameObject.h>

CGameObject::CGameObject() = default;

CGameObject::~CGameObject() = default;

void CGameObject::Init()
{
    m_nHandle = -1;
}

void CGameObject::Close()
{
    Init();
}

void CGameObject::AddRTTI(const wchar_t* text)
{
    if (text)
        m_RTTI += text;
}

void CGameObject::SetName(const wchar_t* name)
{
    if (name)
        m_Name = name;
}

void CGameObject::SetFileName(const wchar_t* fileName)
{
    if (fileName)
        m_FileName = fileName;
}

CBaseDeviceObject::CBaseDeviceObject()
{
    AddRTTI(L" | CBaseDeviceObject");
}

CBaseDeviceObject::~CBaseDeviceObject() = default;
