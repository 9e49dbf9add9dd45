# Writes the program's build identity, "VERSION.COMMITS (git HASH)", into
# OUTPUT as the definition of kBuildIdentity; run at every build, the file
# changes only when the identity does. Outside a git work tree the commit
# is "git unknown" and the version has no commit count.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P BuildIdentity.cmake
find_package(Git QUIET)
set(count "")
set(commit "unknown")
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=10 HEAD
                  OUTPUT_VARIABLE hash OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE hash_failed ERROR_QUIET)
  if(NOT hash_failed AND hash)
    set(commit ${hash})
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-list --count HEAD
                    OUTPUT_VARIABLE count OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} status --porcelain
                            --untracked-files=no
                    OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(changes)
      string(APPEND commit "+")
    endif()
  endif()
endif()
set(identity "${VERSION}")
if(count)
  string(APPEND identity ".${count}")
endif()
string(APPEND identity " (git ${commit})")
set(text "// Made by cmake/BuildIdentity.cmake at build time.\nextern const char kBuildIdentity[] = \"${identity}\";\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE ${OUTPUT} "${text}")
endif()
