# tav_embed_version(target): gives an executable the program's version block, in the ELF
# section that the version reader looks for, so the program reads its own version strings the
# same way as those of any other file.
include_guard(GLOBAL)

# Host tool that writes the block; built once for every target that embeds it. It compiles the
# writer itself instead of linking the engine library, so it builds even when other engine
# sources are broken.
add_executable(tav_version_gen
  ${PROJECT_SOURCE_DIR}/src/engine/version/tool/GenerateVersionBlock.cpp
  ${PROJECT_SOURCE_DIR}/src/engine/version/VersionResource.cpp
  ${PROJECT_SOURCE_DIR}/src/text/Utf8.cpp)
target_include_directories(tav_version_gen PRIVATE ${PROJECT_SOURCE_DIR}/src)

function(tav_embed_version target)
  set(TAV_VERSION_STRINGS
    "FileDescription=Tavrenne ファイル情報・ハッシュ値表示"
    "FileVersion=${PROJECT_VERSION}"
    "LegalCopyright=Copyright (C) 2026 Tavrenne developers"
    "ProductName=Tavrenne"
    "ProductVersion=${PROJECT_VERSION}")
  set(TAV_VERSION_LANGUAGE 0x0411)
  set(TAV_VERSION_CODEPAGE 0x04B0)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND tav_version_gen ${out} ${PROJECT_VERSION}
            ${TAV_VERSION_LANGUAGE} ${TAV_VERSION_CODEPAGE} ${TAV_VERSION_STRINGS}
    DEPENDS tav_version_gen
    COMMENT "Writing the version block of ${target}"
    VERBATIM)
  # A source of the target itself: from a static library the linker would drop the unreferenced
  # object and the section with it.
  target_sources(${target} PRIVATE ${out})
endfunction()
