// Shared by fuzz targets whose code under test works relative to the current directory: they
// move into a private folder of their own. libFuzzer reads its arguments after the target's
// initialisation, so every path among them (corpus folders, -artifact_prefix, -exact_artifact_path
// and the like) is made absolute first, and crash files go to the folder the fuzzer was started
// in, as they would without the move.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzzsupport {

inline void EnterPrivateFolder(int* argc, char*** argv, const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path started = fs::current_path();
    static std::vector<std::string> arguments;
    static std::vector<char*> pointers;
    bool artifactPrefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (i > 0 && !arg.empty() && arg[0] != '-') {
            arg = (started / arg).lexically_normal().string();
        } else if (arg.rfind("-", 0) == 0) {
            size_t equals = arg.find('=');
            std::string flag = arg.substr(0, equals);
            bool pathFlag = flag == "-artifact_prefix" || flag == "-exact_artifact_path" || flag == "-dict" ||
                            flag == "-features_dir" || flag == "-seed_inputs" || flag == "-merge_control_file";
            artifactPrefix = artifactPrefix || flag == "-artifact_prefix";
            if (pathFlag && equals != std::string::npos && equals + 1 < arg.size() && arg[equals + 1] != '/') {
                std::string value = arg.substr(equals + 1);
                bool keepSlash = value.back() == '/';
                value = (started / value).lexically_normal().string();
                if (keepSlash && value.back() != '/')
                    value += '/';
                arg = flag + "=" + value;
            }
        }
        arguments.push_back(arg);
    }
    if (!artifactPrefix)
        arguments.push_back("-artifact_prefix=" + started.string() + "/");
    for (std::string& arg : arguments)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(arguments.size());
    *argv = pointers.data();

    fs::path dir = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
}

} // namespace fuzzsupport
