// Named-object bases of the graphics library: CGameObject (name, file name, handle and the
// chain of class names its constructors grew) and CBaseDeviceObject (a plain reference
// count and the two device-reset operations).
#pragma once

#include <win32/Types.h>

#include <string>

class CGameObject {
public:
    CGameObject();
    CGameObject(const CGameObject&) = default;
    CGameObject& operator=(const CGameObject&) = default;
    virtual ~CGameObject();

    // Sets the handle back to -1.
    virtual void Init();
    // Runs Init as a virtual call, so a derived Init runs too.
    virtual void Close();

    // Appends text to the class-name chain.
    void AddRTTI(const wchar_t* text);
    const wchar_t* GetRTTI() const { return m_RTTI.c_str(); }
    // A null text leaves the stored one unchanged.
    void SetName(const wchar_t* name);
    const wchar_t* GetName() const { return m_Name.c_str(); }
    void SetFileName(const wchar_t* fileName);
    const wchar_t* GetFileName() const { return m_FileName.c_str(); }
    void SetHandle(int handle) { m_nHandle = handle; }
    int GetHandle() const { return m_nHandle; }

protected:
    std::wstring m_Name;
    std::wstring m_FileName;
    int m_nHandle = -1;
    std::wstring m_RTTI = L"CGameObject";
};

class CBaseDeviceObject : public CGameObject {
public:
    CBaseDeviceObject();
    CBaseDeviceObject(const CBaseDeviceObject&) = default;
    CBaseDeviceObject& operator=(const CBaseDeviceObject&) = default;
    ~CBaseDeviceObject() override;

    // Called by the owner around a device reset.
    virtual HRESULT Invalidate() = 0;
    virtual HRESULT Restore() = 0;

    void AddRef() { ++m_nRef; }
    // Nothing is released at zero: the owner decides.
    void ReleaseRef() { --m_nRef; }
    int GetRef() const { return m_nRef; }

protected:
    int m_nRef = 1;
};
