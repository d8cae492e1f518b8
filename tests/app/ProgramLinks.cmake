# Checks how PROGRAM is linked: it needs none of the libraries that it loads only when the
# organiser asks for them (the players' page's server with GnuTLS, the QR encoder, the
# event-sound library), and its run path leads to the folder that holds MODULE. With CHECK, that
# program is copied beside PROGRAM and run there, so that it loads MODULE as PROGRAM would.
#
#   cmake -DREADELF=readelf -DPROGRAM=<file> -DMODULE=<file name> [-DCHECK=<file>] -P ...
execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${READELF} -d ${PROGRAM} failed: ${result}")
endif()

set(faults "")
string(REPLACE "\n" ";" lines "${dynamic}")
set(run_path "")
foreach(line IN LISTS lines)
    if(line MATCHES "\\(NEEDED\\).*\\[(.*)\\]")
        set(library ${CMAKE_MATCH_1})
        if(library MATCHES "^lib(microhttpd|qrencode|gnutls|canberra)[.-]")
            string(APPEND faults "\n  it links ${library}")
        endif()
    elseif(line MATCHES "\\(RUNPATH\\).*\\[(.*)\\]")
        set(run_path ${CMAKE_MATCH_1})
    endif()
endforeach()

get_filename_component(folder ${PROGRAM} DIRECTORY)
string(REPLACE "$ORIGIN" "${folder}" run_path "${run_path}")
string(REPLACE ":" ";" run_path "${run_path}")
set(module "")
foreach(candidate IN LISTS run_path)
    if(NOT module AND EXISTS ${candidate}/${MODULE})
        set(module ${candidate}/${MODULE})
    endif()
endforeach()
if(NOT module)
    string(APPEND faults "\n  its run path (${run_path}) leads to no ${MODULE}")
endif()

if(CHECK AND module)
    get_filename_component(name ${CHECK} NAME)
    file(COPY ${CHECK} DESTINATION ${folder})
    execute_process(COMMAND ${folder}/${name} OUTPUT_VARIABLE output ERROR_VARIABLE output
                    RESULT_VARIABLE result)
    file(REMOVE ${folder}/${name})
    if(NOT result EQUAL 0)
        string(APPEND faults "\n  beside it, ${name} failed (${result}):\n${output}")
    endif()
endif()

if(faults)
    message(FATAL_ERROR "${PROGRAM}:${faults}")
endif()
message(STATUS "${PROGRAM} links none of the libraries it loads when asked; it finds ${module}.")
