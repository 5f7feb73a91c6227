# Writes the site's service worker from its template: the list of the site's files and a cache
# name made of their contents, so that any change to any of them makes a new cache.
#   cmake -DSITE_DIR=<dir> -DFILES=<a;b;...> -DTEMPLATE=<service-worker.js.in> -DOUTPUT=<file>
#         -P service_worker.cmake
set(digests "")
set(quoted "\"./\"")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE_DIR}/${file} digest)
  string(APPEND digests "${digest} ${file}\n")
  string(APPEND quoted ", \"${file}\"")
endforeach()
string(SHA256 site_hash "${digests}")
string(SUBSTRING ${site_hash} 0 16 VORTALUX_SITE_HASH)
set(VORTALUX_SITE_FILES ${quoted})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
