# Builds a MIME database from the installed package alone, as a desktop's update-mime-database
# does, and checks that it says nothing and gives *.velka the tournament's type, a kind of JSON.
if(NOT UPDATE_MIME_DATABASE)
    message(FATAL_ERROR "update-mime-database is missing (shared-mime-info): install it with "
                        "scripts/setup.sh, then configure again.")
endif()
set(database ${WORK}/mime)
file(REMOVE_RECURSE ${WORK})
file(COPY ${PREFIX}/${DATADIR}/mime/packages DESTINATION ${database})
# Looked for where a desktop would look, so that the tool has no note to add.
set(ENV{XDG_DATA_DIRS} ${WORK})
set(ENV{XDG_DATA_HOME} ${WORK})
execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${database}
    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "")
    message(FATAL_ERROR "update-mime-database (${result}): ${said}")
endif()
file(READ ${database}/globs2 globs)
if(NOT globs MATCHES "\n[0-9]+:application/x-velka-tournament:\\*\\.velka\n")
    message(FATAL_ERROR "*.velka is not of type application/x-velka-tournament:\n${globs}")
endif()
file(READ ${database}/subclasses subclasses)
if(NOT subclasses MATCHES "application/x-velka-tournament application/json")
    message(FATAL_ERROR "the tournament's type is not a kind of JSON:\n${subclasses}")
endif()
