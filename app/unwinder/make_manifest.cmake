# Writes <dir>/Resource/Uninstall.ini from the template the way the
# uninstaller itself does when it finds the template in its folder: the
# template's lines, "[InstallFiles]", then every file of the folder tree,
# depth first, a folder's files in the order NTFS gives them (names sorted
# without regard to case). The template's @HX_VERSION@ becomes the release's
# version. Usage:
#   cmake -DDIR=<program folder> -DTEMPLATE=<template> -DHX_VERSION=<version> -P make_manifest.cmake
cmake_minimum_required(VERSION 3.20)

# Drops one final CR LF.
macro(strip_line_end var)
  string(LENGTH "${${var}}" length)
  if(length GREATER_EQUAL 2)
    math(EXPR cut "${length} - 2")
    string(SUBSTRING "${${var}}" ${cut} 2 tail)
    if(tail STREQUAL "\r\n")
      string(SUBSTRING "${${var}}" 0 ${cut} ${var})
    endif()
  endif()
endmacro()

function(list_folder folder prefix out)
  file(GLOB entries RELATIVE ${folder} ${folder}/*)
  list(SORT entries CASE INSENSITIVE)
  set(result "")
  foreach(name IN LISTS entries)
    if(IS_DIRECTORY ${folder}/${name})
      if(NOT IS_SYMLINK ${folder}/${name})
        list_folder(${folder}/${name} "${prefix}\\${name}" sub)
        if(NOT sub STREQUAL "")
          string(APPEND result "${sub}\r\n")
        endif()
      endif()
    else()
      if(prefix STREQUAL "")
        set(entry "${name}")
      else()
        set(entry "${prefix}\\${name}")
      endif()
      string(TOLOWER "${entry}" lower)
      if(NOT lower STREQUAL "\\resource\\installfiles_uninstall.ini")
        string(APPEND result "${entry}\r\n")
      endif()
    endif()
  endforeach()
  strip_line_end(result)
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

file(READ ${TEMPLATE} template)
string(CONFIGURE "${template}" template @ONLY)
# CMake's reading loses the CRs; the template's lines all end with CR LF.
string(REPLACE "\r" "" template "${template}")
string(REPLACE "\n" "\r\n" template "${template}")
strip_line_end(template)
file(MAKE_DIRECTORY ${DIR}/Resource)
set(manifest ${DIR}/Resource/Uninstall.ini)
# The manifest exists while the folder is listed, so it lists itself.
file(WRITE ${manifest} "${template}\r\n[InstallFiles]\r\n")
list_folder(${DIR} "" files)
file(WRITE ${manifest}.new "${template}\r\n[InstallFiles]\r\n${files}\r\n")
file(RENAME ${manifest}.new ${manifest})
