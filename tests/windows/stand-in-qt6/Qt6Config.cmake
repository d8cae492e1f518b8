# A stand-in for Qt 6's CMake package, for configuring the whole program for Windows where no Qt
# for Windows is installed: it gives empty targets for the modules asked for, and refuses the
# D-Bus module, which the Windows build must not need.
set(Qt6Core_VERSION_MAJOR 6)
set(Qt6Core_VERSION_MINOR 4)
foreach(component IN LISTS Qt6_FIND_COMPONENTS)
    if(component STREQUAL "DBus")
        message(FATAL_ERROR "the Windows build asked for Qt's D-Bus module")
    endif()
    if(NOT TARGET Qt6::${component})
        add_library(Qt6::${component} INTERFACE IMPORTED)
    endif()
    set(Qt6${component}_FOUND TRUE)
endforeach()
# Automatic moc wants a program that exists; nothing is built.
if(NOT TARGET Qt6::moc)
    add_executable(Qt6::moc IMPORTED)
    set_target_properties(Qt6::moc PROPERTIES IMPORTED_LOCATION ${CMAKE_COMMAND})
endif()
function(qt_add_resources)
endfunction()
set(Qt6_FOUND TRUE)
