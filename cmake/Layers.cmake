# tav_layer(target folder): makes src/<folder> reachable as "<folder>/..." for the target and
# for whatever links it, and for nothing else. src/ itself is on no include path, so a folder
# that includes one it does not link fails to compile: the dependency order is the link order.
include_guard(GLOBAL)

function(tav_layer target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
