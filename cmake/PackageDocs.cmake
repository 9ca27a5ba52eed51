# What the package says about itself beside the programs: the manual pages
# (tesseldoc-cli.1 written from the program's own help by tesseldoc-cli-man),
# the changelog, the copyright file and lintian's overrides, all in res/package.
# Included by the top CMakeLists.txt after the tesseldoc-cli target.

set(TESSELDOC_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/res/package)

# The changelog's first entry is this version; its date is the release date
# the manual pages carry.
file(STRINGS ${TESSELDOC_PACKAGE_DIR}/changelog changelog_lines)
list(GET changelog_lines 0 changelog_head)
if(NOT changelog_head MATCHES "^tesseldoc \\(([^)]+)\\)")
  message(FATAL_ERROR "res/package/changelog: the first line is not \"tesseldoc (VERSION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "res/package/changelog begins with ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: "
                      "add an entry for ${PROJECT_VERSION}")
endif()
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^ -- .*>  [A-Za-z]+, ([0-9]+) ([A-Za-z]+) ([0-9]+) ")
    set(day ${CMAKE_MATCH_1})
    set(month_name ${CMAKE_MATCH_2})
    set(year ${CMAKE_MATCH_3})
    break()
  endif()
endforeach()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${month_name}" month)
if(NOT day OR month LESS 0)
  message(FATAL_ERROR "res/package/changelog: no dated trailer line in its first entry")
endif()
math(EXPR month "${month} + 1")
if(month LESS 10)
  set(month "0${month}")
endif()
string(LENGTH "${day}" day_length)
if(day_length EQUAL 1)
  set(day "0${day}")
endif()
set(TESSELDOC_RELEASE_DATE "${year}-${month}-${day}")

set(docs_dir ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${docs_dir})

# The CLI's manual page from the texts of its --help (src/cli/CliHelp.cpp).
add_executable(tesseldoc-cli-man ${CMAKE_SOURCE_DIR}/src/cli/man/ManPageMain.cpp ${CMAKE_SOURCE_DIR}/src/cli/CliHelp.cpp)
target_include_directories(tesseldoc-cli-man PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tesseldoc-cli-man PRIVATE Qt6::Core)
set_target_properties(tesseldoc-cli-man PROPERTIES AUTOMOC OFF)
add_custom_command(OUTPUT ${docs_dir}/tesseldoc-cli.1
  COMMAND tesseldoc-cli-man ${PROJECT_VERSION} ${TESSELDOC_RELEASE_DATE} ${docs_dir}/tesseldoc-cli.1
  DEPENDS tesseldoc-cli-man
  COMMENT "Writing the manual page of tesseldoc-cli"
  VERBATIM)
configure_file(${TESSELDOC_PACKAGE_DIR}/tesseldoc.1.in ${docs_dir}/tesseldoc.1 @ONLY)

# Debian keeps manual pages and changelogs compressed, without a time stamp.
set(gzipped "")
foreach(pair "tesseldoc-cli.1|${docs_dir}/tesseldoc-cli.1" "tesseldoc.1|${docs_dir}/tesseldoc.1"
             "changelog|${TESSELDOC_PACKAGE_DIR}/changelog")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 input)
  add_custom_command(OUTPUT ${docs_dir}/${name}.gz
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${input} ${docs_dir}/${name}.gz
    DEPENDS ${input}
    VERBATIM)
  list(APPEND gzipped ${docs_dir}/${name}.gz)
endforeach()
add_custom_target(tesseldoc_package_docs ALL DEPENDS ${gzipped})

install(FILES ${docs_dir}/tesseldoc-cli.1.gz ${docs_dir}/tesseldoc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs_dir}/changelog.gz ${TESSELDOC_PACKAGE_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tesseldoc)
# The Slurm array job the manual shows, as an example (sbatch reads it).
install(FILES ${CMAKE_SOURCE_DIR}/scripts/slurm/tesseldoc-array.sh DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tesseldoc/examples)
install(FILES ${TESSELDOC_PACKAGE_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tesseldoc)

# The wizard in the desktop: its file types (shared-mime-info) and its
# AppStream description, whose release is this version.
if(TARGET tesseldoc)
  configure_file(${TESSELDOC_PACKAGE_DIR}/org.tesseldoc.tesseldoc.metainfo.xml.in
                 ${docs_dir}/org.tesseldoc.tesseldoc.metainfo.xml @ONLY)
  install(FILES ${docs_dir}/org.tesseldoc.tesseldoc.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${TESSELDOC_PACKAGE_DIR}/tesseldoc-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tesseldoc.xml)
endif()
