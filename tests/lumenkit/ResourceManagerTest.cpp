#include <lumenkit/ResourceManager.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct FakeResource {
    explicit FakeResource(int* deletions = nullptr) : deletions(deletions) {}
    ~FakeResource()
    {
        if (deletions)
            ++*deletions;
    }
    void SetHandle(int h) { handle = h; }
    void SetFileName(const wchar_t* name) { fileName = name; }
    int handle = -1;
    std::wstring fileName;
    int* deletions;
};

using Table = CResourceStaticTemplateManager<FakeResource, 100>;

TEST(ResourceManagerTest, NamesMapToSlotsCaseInsensitively)
{
    Table table;
    FakeResource nullResource;
    table.AddNullResource(&nullResource);
    EXPECT_EQ(table.GetResource(0), &nullResource); // empty table

    auto* button = new FakeResource;
    EXPECT_EQ(table.AddResource(button, L"button.tga"), 0);
    EXPECT_EQ(button->handle, 0);
    EXPECT_EQ(button->fileName, L"BUTTON.TGA");
    EXPECT_EQ(table.GetResourceHandle(L"Button.TGA"), 0);
    EXPECT_EQ(table.GetResourceHandle(L"other.tga"), -1);

    FakeResource duplicate;
    EXPECT_EQ(table.AddResource(&duplicate, L"BUTTON.tga"), -1);

    // Unnamed resources take the first free slot without a name.
    EXPECT_EQ(table.AddResource(new FakeResource, L""), 1);
    EXPECT_EQ(table.GetSize(), 2);

    for (int bad : {-1, 2, 100})
        EXPECT_EQ(table.GetResource(bad), &nullResource) << bad;
    EXPECT_EQ(table.GetResource(0), button);
}

TEST(ResourceManagerTest, DeletedSlotsAreReusedAndDrawTheNullResource)
{
    Table table;
    FakeResource nullResource;
    table.AddNullResource(&nullResource);
    int deletions = 0;
    table.AddResource(new FakeResource(&deletions), L"a.tga");
    table.AddResource(new FakeResource(&deletions), L"b.tga");

    table.DeleteResource(0);
    table.DeleteResource(-1);
    table.DeleteResource(7);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(table.GetResourceHandle(L"a.tga"), -1);
    EXPECT_EQ(table.GetResource(0), &nullResource); // an empty slot, not a null pointer

    EXPECT_EQ(table.AddResource(new FakeResource(&deletions), L"c.tga"), 0);

    // A copy shares the table; destroying both deletes each object once.
    {
        Table copy = table;
        EXPECT_EQ(copy.GetResourceHandle(L"C.TGA"), 0);
    }
    table.DeleteAll();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(table.GetSize(), 0);
}

} // namespace
