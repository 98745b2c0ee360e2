# Packs the built site into a zip with the site's files and README-web.txt at its root, for
# anyone to serve with a static server:
#   cmake -DSITE=<site dir> -DREADME=<README-web.txt> -DZIP=<zip> -P pack_web.cmake
get_filename_component(stage ${ZIP} NAME_WLE)
get_filename_component(dir ${ZIP} DIRECTORY)
set(stage ${dir}/${stage})
file(REMOVE_RECURSE ${stage} ${ZIP})
file(COPY ${SITE}/ ${README} DESTINATION ${stage})
file(GLOB names LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT names)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${names}
  WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
