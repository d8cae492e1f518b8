# nlohmann-json (Debian's nlohmann-json3-dev), header-only, as the target
# nlohmann_json::nlohmann_json. A cross build takes the same headers from the build machine, but
# copied into a folder of their own: naming /usr/include itself would put the build machine's C
# library headers before the target's.
include_guard(GLOBAL)

if(NOT CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3.10 REQUIRED GLOBAL)
    return()
endif()

find_path(VELKA_NLOHMANN_JSON_INCLUDE_DIR nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH
    PATHS /usr/include)
if(NOT VELKA_NLOHMANN_JSON_INCLUDE_DIR)
    message(FATAL_ERROR "nlohmann/json.hpp is missing: install nlohmann-json3-dev "
                        "(scripts/setup.sh windows does).")
endif()
set(velka_json_headers ${CMAKE_BINARY_DIR}/build-machine-headers)
file(COPY ${VELKA_NLOHMANN_JSON_INCLUDE_DIR}/nlohmann DESTINATION ${velka_json_headers})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${velka_json_headers})
