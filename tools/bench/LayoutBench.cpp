// Loading and building a layout of 200 windows: the layout file is read through the platform
// interface, parsed, turned into descriptions and built into windows by the factories, then the
// top window is detached again.
#include "kv/KVInterface.h"
#include "kv/KVSystem.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWnd.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

// Serves one layout from memory; draws and sounds are ignored.
class MemoryInterface : public kv::KVInterface {
public:
    explicit MemoryInterface(std::string text) : m_text(std::move(text)) {}
    void PlaySound(const std::wstring&) override {}
    void DrawText(const kv::KVTextStyle&, int32_t, int32_t, const std::wstring&) override {}
    kv::KVSize MeasureText(const std::wstring&, const std::wstring& text) override
    {
        return {static_cast<int32_t>(text.size()) * 10, 12};
    }
    void OnButtonState(kv::KVWnd*, int32_t) override {}
    kv::KVFileHandle OpenFile(const std::wstring&) override
    {
        m_position = 0;
        return &m_text;
    }
    void CloseFile(kv::KVFileHandle) override {}
    int32_t Tell(kv::KVFileHandle) override { return static_cast<int32_t>(m_position); }
    int32_t Seek(kv::KVFileHandle, int32_t offset, int32_t origin) override
    {
        m_position = (origin == kSeekEnd ? m_text.size() : 0) + static_cast<size_t>(offset);
        return 0;
    }
    int32_t Read(kv::KVFileHandle, void* buffer, int32_t size) override
    {
        std::memcpy(buffer, m_text.data() + m_position, static_cast<size_t>(size));
        m_position += static_cast<size_t>(size);
        return size;
    }

private:
    std::string m_text;
    size_t m_position = 0;
};

class BenchWindow : public kv::KVWnd {
public:
    std::wstring GetTypeName() const override { return L"Window"; }
};

// One top window, a label and 18 panels of 10 buttons each: 200 windows in all.
std::string MakeLayout()
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kevrin version=\"2\">"
                      "<base type=\"WNDEX\" name=\"Wnd_bench\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>";
    for (int panel = 0; panel < 18; ++panel) {
        xml += "<child type=\"PANEL\" name=\"Wnd_panel" + std::to_string(panel) + "\"><pos x=\"" +
               std::to_string(panel * 50) + "\" y=\"10\"/><rect l=\"0\" t=\"0\" r=\"50\" b=\"700\"/>"
               "<Anchor val=\"Left, Top, Bottom\"/>";
        for (int button = 0; button < 10; ++button)
            xml += "<child type=\"BUTTON\" name=\"Btn_" + std::to_string(panel) + "_" + std::to_string(button) +
                   "\"><pos x=\"0\" y=\"" + std::to_string(button * 70) +
                   "\"/><rect l=\"0\" t=\"0\" r=\"50\" b=\"60\"/><asset type=\"NORMAL\">btn.png</asset>"
                   "<snd type=\"DOWN\">click.wav</snd><expand name=\"id\" type=\"INTEGER\" val=\"" +
                   std::to_string(button) + "\"/></child>";
        xml += "</child>";
    }
    xml += "<child type=\"LABEL\" name=\"Label_title\"><rect l=\"0\" t=\"0\" r=\"200\" b=\"30\"/><label val=\"제목\"/></child>";
    return xml + "</base></kevrin>";
}

void BM_LoadAndBuildLayout200(benchmark::State& state)
{
    MemoryInterface iface(MakeLayout());
    kv::KVSystem system;
    system.SetInterface(&iface);
    static kv::KVWindowFactoryT<BenchWindow> factory(L"Window");
    for (const wchar_t* name : {L"Window", L"Button", L"Label"})
        system.GetRegistry().Unregister(name);
    static kv::KVWindowFactoryT<BenchWindow> button(L"Button");
    static kv::KVWindowFactoryT<BenchWindow> label(L"Label");
    system.GetRegistry().Register(&factory);
    system.GetRegistry().Register(&button);
    system.GetRegistry().Register(&label);
    for (auto _ : state) {
        kv::KVWnd* window = system.CreateWindowFromLayout("bench.xml");
        if (!window) {
            state.SkipWithError("layout did not build");
            break;
        }
        system.DetachWindow(window);
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_LoadAndBuildLayout200)->Unit(benchmark::kMicrosecond);

} // namespace
