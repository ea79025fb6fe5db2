// Textures by name: handles from the data folder, the null texture for bad handles and
// failed files, and loads deferred to the loader thread.
#include "LumenkitDevice.h"

#include <lumenkit/TextureLoader.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace lumenkittest;

namespace {

class TextureTest : public LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        WriteSolidTga(m_data, "data/ui/button.tga", 8, 4, 0xFF00FF00);
        WriteSolidTga(m_data, "data/ui/later.tga", 2, 2, 0xFFFF0000);
        m_data.Write("data/ui/broken.tga", "not an image");
        Reindex();
    }

    static CTextureManager& Manager() { return CTextureManager::GetSingleton(); }
    static CTexture* Resource(int handle) { return Manager().GetResource(handle); }

    static TextureLoader& Loader() { return TextureLoader::GetSingleton(); }

    // Keeps the loader thread from taking entries for the scope, so a test sees what is queued.
    class LoaderPause {
    public:
        LoaderPause() { g_bLoaderStartLoad = 0; }
        ~LoaderPause() { Resume(); }
        void Resume() { g_bLoaderStartLoad = 1; }
    };

    // Polls until the loader thread has taken every entry, for at most two seconds. An entry
    // leaves the queue only after its load has finished.
    static bool WaitQueueEmpty()
    {
        for (int i = 0; i < 200 && Loader().GetLoadTextureListSize() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Loader().GetLoadTextureListSize() == 0;
    }

    // Polls until the texture is loaded by the loader thread, for at most two seconds.
    static bool WaitLoaded(CTexture* texture)
    {
        for (int i = 0; i < 200 && !texture->IsLoaded(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return texture->IsLoaded();
    }
};

TEST_F(TextureTest, NamesMapUpperCasedToOneHandle)
{
    const int handle = CTextureManager::GetTextureHandle("button.tga", 1);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(CTextureManager::GetTextureHandle("BUTTON.TGA", 1), handle);
    CTexture* texture = Resource(handle);
    EXPECT_EQ(texture->GetRef(), 3) << "1 at construction and 1 per request";
    EXPECT_EQ(std::wstring(texture->GetFileName()), L"BUTTON.TGA");
    EXPECT_TRUE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTextureDesc()->Width, 8u);
    EXPECT_EQ(texture->GetSrcImageInfo()->Height, 4u);
}

TEST_F(TextureTest, UnknownNamesAndBadHandlesGiveTheNullTexture)
{
    CTexture* null = Manager().GetNullTexture();
    ASSERT_NE(null, nullptr);
    ASSERT_TRUE(null->IsLoaded());
    EXPECT_EQ(Resource(0), null) << "an empty table";
    EXPECT_EQ(CTextureManager::GetTextureHandle("missing.tga", 1), -1);
    const int handle = CTextureManager::GetTextureHandle("button.tga", 1);
    EXPECT_EQ(Resource(-1), null);
    EXPECT_EQ(Resource(Manager().GetSize()), null);
    EXPECT_NE(Resource(handle), null);

    // Drawing with the bad handle shows the null texture's picture.
    D3DXVECTOR3 at(20, 20, 0);
    Frame([&] { g_pRenderer->DrawSprite(Resource(-1)->GetTexture(), nullptr, nullptr, &at, 0xFFFFFFFF, nullptr); });
    EXPECT_TRUE(NearColor(Pixel(21, 21), kNullColor));
}

TEST_F(TextureTest, AFileThatDoesNotLoadDrawsTheNullTextureAtItsSize)
{
    LoaderPause pause;
    const int handle = CTextureManager::GetTextureHandle("broken.tga", 1);
    ASSERT_GE(handle, 0);
    CTexture* texture = Resource(handle);
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTextureDesc()->Width, 4u) << "the null texture's size";
    EXPECT_EQ(texture->GetTexture(), Manager().GetNullTexture()->GetTexture());
    EXPECT_EQ(Loader().GetLoadTextureListSize(), 1) << "the first use queues one background retry";
    // The retry runs and fails too; the null texture stays and the file is not queued again.
    pause.Resume();
    ASSERT_TRUE(WaitQueueEmpty());
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTexture(), Manager().GetNullTexture()->GetTexture());
    EXPECT_EQ(Loader().GetLoadTextureListSize(), 0);
}

// Both the main thread and the scene loader thread ask for textures: however many threads ask
// for an unloaded texture at once, its file is queued once.
TEST_F(TextureTest, ATextureAskedForByManyThreadsAtOnceIsQueuedOnce)
{
    LoaderPause pause;
    constexpr int kTextures = 20;
    constexpr int kThreads = 6;
    ASSERT_NE(Manager().GetNullTexture(), nullptr);
    std::vector<CTexture*> textures(kTextures, nullptr);
    for (CTexture*& texture : textures)
        CTexture::LoadTexture(L"later.tga", &texture, 0);
    for (CTexture* texture : textures) {
        std::atomic<int> ready{0};
        std::vector<std::thread> askers;
        for (int i = 0; i < kThreads; ++i)
            askers.emplace_back([&] {
                ready.fetch_add(1);
                while (ready.load() < kThreads) {
                }
                texture->GetTexture();
            });
        for (std::thread& asker : askers)
            asker.join();
    }
    EXPECT_EQ(Loader().GetLoadTextureListSize(), kTextures);
    for (CTexture* texture : textures)
        delete texture;
    EXPECT_EQ(Loader().GetLoadTextureListSize(), 0) << "a destroyed texture leaves the queue";
}

TEST_F(TextureTest, ATextureNotLoadedNowIsLoadedByTheLoaderThread)
{
    const int handle = CTextureManager::GetTextureHandle("later.tga", 0);
    CTexture* texture = Resource(handle);
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTexture(), Manager().GetNullTexture()->GetTexture()) << "first use queues the file";
    ASSERT_TRUE(WaitLoaded(texture));
    EXPECT_NE(texture->GetTexture(), Manager().GetNullTexture()->GetTexture());
    D3DXVECTOR3 at(40, 40, 0);
    Frame([&] { g_pRenderer->DrawSprite(texture->GetTexture(), nullptr, nullptr, &at, 0xFFFFFFFF, nullptr); });
    EXPECT_TRUE(NearColor(Pixel(41, 41), 0xFFFF0000));
}

TEST_F(TextureTest, DeletingAResourceKeepsItsHandleAndLoadsItAgain)
{
    const int handle = CTextureManager::GetTextureHandle("button.tga", 1);
    CTexture* texture = Resource(handle);
    Manager().DeleteResource(handle);
    Manager().DeleteResource(-1);
    Manager().DeleteResource(Manager().GetSize());
    EXPECT_EQ(Resource(handle), texture);
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTexture(), Manager().GetNullTexture()->GetTexture());
    EXPECT_TRUE(texture->IsQueued());
    ASSERT_TRUE(WaitLoaded(texture));
    EXPECT_EQ(CTextureManager::GetTextureHandle("Button.tga", 1), handle);
}

TEST_F(TextureTest, TwoThreadsAskingForNewNamesShareTheirHandles)
{
    for (int i = 0; i < 8; ++i)
        WriteSolidTga(m_data, "data/many/t" + std::to_string(i) + ".tga", 2, 2, 0xFF0000FF);
    Reindex();
    int first[8] = {}, second[8] = {};
    auto ask = [](int* out) {
        for (int i = 0; i < 8; ++i)
            out[i] = CTextureManager::GetTextureHandle(("t" + std::to_string(i) + ".tga").c_str(), 1);
    };
    std::thread other(ask, second);
    ask(first);
    other.join();
    for (int i = 0; i < 8; ++i) {
        EXPECT_GE(first[i], 0);
        EXPECT_EQ(first[i], second[i]) << i;
        EXPECT_EQ(Resource(first[i])->GetRef(), 3) << i;
    }
}

} // namespace
