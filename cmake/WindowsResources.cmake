# velka_add_windows_resources(<target>): gives a Windows program the application icon and a
# version resource whose file version reads major.minor.revision, the revision with four digits
# ("0.11.0005").
function(velka_add_windows_resources target)
    set(VELKA_WINDOWS_ICON ${PROJECT_SOURCE_DIR}/desktop/icons/velka-tablewright.ico)
    set(padded_revision "000${PROJECT_VERSION_PATCH}")
    string(LENGTH "${padded_revision}" padded_length)
    math(EXPR padded_start "${padded_length} - 4")
    string(SUBSTRING "${padded_revision}" ${padded_start} 4 padded_revision)
    set(VELKA_RESOURCE_VERSION
        "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${padded_revision}")
    set(resource_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/app/velka-tablewright.rc.in ${resource_file} @ONLY)
    target_sources(${target} PRIVATE ${resource_file})
endfunction()
