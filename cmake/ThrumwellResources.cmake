# thrumwell_embed_resources(TARGET)
# Gives TARGET the module's PNG images, numbered as resources/images.list says:
# on Windows a generated resource script (type "PNG") is compiled into it; on
# Linux a generated C++ table of the images' bytes, which LICE_DecodePngResource
# reads. Both are regenerated when the list or an image changes.

include_guard(GLOBAL)

function(thrumwell_embed_resources target)
  # Set here rather than beside the include guard, so that every folder that
  # calls this sees them, not only the first one that included this file.
  set(THRUMWELL_IMAGE_LIST "${PROJECT_SOURCE_DIR}/resources/images.list")
  set(THRUMWELL_RESGEN_SCRIPT "${PROJECT_SOURCE_DIR}/tools/resgen/resgen.cmake")
  # The list is read here as well, to know which images the output depends on.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${THRUMWELL_IMAGE_LIST}")
  file(STRINGS "${THRUMWELL_IMAGE_LIST}" lines REGEX "^[ \t]*[0-9]+[ \t]+[^ \t#]+")
  set(images)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*[0-9]+[ \t]+([^ \t#]+).*$" "\\1" name "${line}")
    list(APPEND images "${PROJECT_SOURCE_DIR}/resources/${name}")
  endforeach()

  if(WIN32)
    set(format rc)
  else()
    set(format cpp)
  endif()
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_images.${format}")
  add_custom_command(OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" "-DLIST=${THRUMWELL_IMAGE_LIST}" "-DOUT=${out}" -DFORMAT=${format}
            -P "${THRUMWELL_RESGEN_SCRIPT}"
    DEPENDS "${THRUMWELL_IMAGE_LIST}" "${THRUMWELL_RESGEN_SCRIPT}" ${images}
    COMMENT "Embedding the PNG images into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
  if(WIN32)
    # The resource compiler reads the images themselves; rebuild when they change.
    set_source_files_properties("${out}" PROPERTIES OBJECT_DEPENDS "${images}")
  endif()
endfunction()
