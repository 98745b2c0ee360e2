# Writes the site's service worker from web/sw.js, stamped with this build: the cache name takes
# a hash of the whole site and FILES each other file of it with its SHA-256, so that any change
# to the site makes a new worker, which replaces the cache. Run after the site is assembled:
#   cmake -DSITE=<site dir> -DTEMPLATE=<web/sw.js> -P stamp_sw.cmake
file(READ ${TEMPLATE} source)
string(SHA256 site_hash "${source}")
file(GLOB names LIST_DIRECTORIES false RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(files "")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} sha)
  string(APPEND files "\n  '${name}': '${sha}',")
  string(SHA256 site_hash "${site_hash} ${name} ${sha}")
endforeach()
string(SUBSTRING ${site_hash} 0 16 site_hash)

foreach(line IN ITEMS "const CACHE = 'ormel-dev';" "const FILES = {};")
  string(FIND "${source}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} no longer has the line `${line}` to stamp")
  endif()
endforeach()
string(REPLACE "const CACHE = 'ormel-dev';" "const CACHE = 'ormel-${site_hash}';"
  source "${source}")
string(REPLACE "const FILES = {};" "const FILES = {${files}\n};" source "${source}")
file(WRITE ${SITE}/sw.js "${source}")
