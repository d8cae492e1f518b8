# Writes the players' page into a C++ source file, so that the program carries it.
#
#   cmake -DOUTPUT=<file.cpp> -DASSETS=<path|type|file;...> -P EmbedPage.cmake
#
# Every byte goes in as a number: nothing in the files can end up as C++ code.
set(arrays "")
set(entries "")
set(n 0)
foreach(asset IN LISTS ASSETS)
    string(REPLACE "|" ";" parts "${asset}")
    list(GET parts 0 path)
    list(GET parts 1 type)
    list(GET parts 2 file)
    file(READ "${file}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
           "\\1\n" bytes "${bytes}")
    string(APPEND arrays "const unsigned char kAsset${n}[] = {\n${bytes}0};\n")
    string(APPEND entries
        "    PageAsset{\"${path}\", \"${type}; charset=utf-8\",\n"
        "              std::string_view(reinterpret_cast<const char*>(kAsset${n}), ${size})},\n")
    math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp"
    "// Generated from playerspage/page/ by playerspage/EmbedPage.cmake; do not edit.\n"
    "#include \"playerspage/PageAssets.h\"\n\n"
    "namespace velka::playerspage {\n\nnamespace {\n\n${arrays}\n} // namespace\n\n"
    "const std::array<PageAsset, ${n}> kPageAssets = {{\n${entries}}};\n\n"
    "} // namespace velka::playerspage\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
