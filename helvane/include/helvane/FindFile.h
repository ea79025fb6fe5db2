// The file finder: recursive and flat file listings and sub-folder listings, in the sorted
// order the platform's file search returns. Folders end with a separator ('\' or '/').
#pragma once

#include <string>
#include <vector>

class CFindFile {
public:
    // The one finder of the process.
    static CFindFile& GetInstance();

    CFindFile() = default;
    CFindFile(const CFindFile&) = default;
    CFindFile& operator=(const CFindFile&) = default;
    virtual ~CFindFile() = default;

    // Every file under the folder, depth first: the folder as given, then the sub-folders as
    // spelled on disk, then the file name upper-cased. Hidden files are listed; hidden folders
    // and folders whose name begins with '.' are listed as entries but not walked.
    const std::vector<std::wstring>& FindFile(const std::wstring& folder);
    // Every file directly in the folder (hidden ones included), as folder + upper-cased name.
    const std::vector<std::wstring>& FindFileCurFolder(const wchar_t* folder);
    // The names of the sub-folders of the folder that do not begin with '.'.
    const std::vector<std::wstring>& FindFolder(const wchar_t* folder);

    void Init() { m_results.clear(); }
    void Close() { m_results.clear(); }

protected:
    // The walks behind FindFile and FindFileCurFolder; they append to the results.
    void FindFileGo(const std::wstring& pattern);
    void FindFileCurFolderGo(const std::wstring& pattern);

private:
    std::vector<std::wstring> m_results;
};
