// Recording renderer for UI tests.
#include "support/kv/RecordingRenderer.h"

namespace testsupport {

void RecordingRenderer::ReleaseAll()
{
    calls.push_back(L"ReleaseAll");
    m_groups.clear();
}

int32_t RecordingRenderer::ReleaseGroup(const std::wstring& group)
{
    calls.push_back(L"ReleaseGroup " + group);
    return m_groups.erase(group) ? 1 : 0;
}

void RecordingRenderer::AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint&,
                                 const kv::KVRect&, const kv::KVRect&, bool)
{
    calls.push_back(L"AddImage " + group + L" " + path);
    m_groups[group].push_back(path);
}

void RecordingRenderer::AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint&,
                                 const kv::KVRect&)
{
    calls.push_back(L"AddImage " + group + L" " + path);
    m_groups[group].push_back(path);
}

void RecordingRenderer::DrawAnimImage(const std::wstring& director, const std::wstring& scene,
                                      const std::wstring& asset, float alpha, const kv::KVMatrix& transform)
{
    calls.push_back(L"DrawAnimImage " + director + L" " + scene + L" " + asset);
    animDraws.push_back({director, scene, asset, alpha, transform});
}

void RecordingRenderer::DrawImage(const std::wstring& group, int32_t index, const kv::KVPoint& position,
                                  float alpha, const kv::KVPoint& scale, float rotation, const kv::KVPoint& centre)
{
    calls.push_back(L"DrawImage " + group + L" " + std::to_wstring(index));
    imageDraws.push_back({group, index, position, alpha, scale, rotation, centre});
}

void RecordingRenderer::BeginText(const kv::KVRect&)
{
    calls.push_back(L"BeginText");
}

void RecordingRenderer::EndText()
{
    calls.push_back(L"EndText");
}

void RecordingRenderer::SetImageSize(const std::wstring& group, int32_t index, float, float)
{
    calls.push_back(L"SetImageSize " + group + L" " + std::to_wstring(index));
}

void RecordingRenderer::ReleaseAllAnimations()
{
    calls.push_back(L"ReleaseAllAnimations");
    m_animationCounts.clear();
}

int32_t RecordingRenderer::ReleaseAnimation(const std::wstring& director)
{
    calls.push_back(L"ReleaseAnimation " + director);
    return m_animationCounts.erase(director) ? 1 : 0;
}

void RecordingRenderer::CreateAnimImage(const std::wstring& director, const std::wstring& scene,
                                        const std::wstring& asset, const std::wstring& path, const kv::KVRect& rect)
{
    calls.push_back(L"CreateAnimImage " + director + L" " + scene + L" " + asset);
    animImages.push_back({director, scene, asset, path, rect});
    ++m_animationCounts[director];
}

kv::KVRect RecordingRenderer::CreateAnimText(const std::wstring& director, const std::wstring& scene,
                                             const std::wstring& asset, const std::wstring& face, int32_t size,
                                             int32_t style, uint32_t colour, const std::wstring& text)
{
    calls.push_back(L"CreateAnimText " + director + L" " + scene + L" " + asset);
    animTexts.push_back(face + L"|" + std::to_wstring(size) + L"|" + std::to_wstring(style) + L"|" +
                        std::to_wstring(colour) + L"|" + text);
    ++m_animationCounts[director];
    return {};
}

kv::KVRect RecordingRenderer::AliasAnimImage(const std::wstring&, const std::wstring&, const std::wstring&,
                                             const std::wstring&)
{
    return {};
}

int32_t RecordingRenderer::ImageCount(const std::wstring& group) const
{
    auto it = m_groups.find(group);
    return it == m_groups.end() ? 0 : static_cast<int32_t>(it->second.size());
}

void RecordingRenderer::ClearRecords()
{
    calls.clear();
    animDraws.clear();
    imageDraws.clear();
}

} // namespace testsupport
