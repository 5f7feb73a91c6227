# The AppStream metadata of the Linux package, which software centres list it by:
# share/metainfo/<id>.metainfo.xml, made at configure time from cmake/vortalux.metainfo.xml.in,
# with one release per dated section of CHANGELOG.md. Needs cmake/debian-texts.cmake.

# The component id, reverse-DNS of the domain the maintainer's address names.
set(VORTALUX_METAINFO_ID org.example.vortalux)

# Text as XML character data: the markup characters escaped, Markdown's code quotes dropped.
function(vortalux_xml_text text out_var)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "`" "" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Writes `out` from the template with the summary, the description paragraph and the releases
# of the changelog `changelog`.
function(vortalux_metainfo template changelog summary about out)
  vortalux_read_changelog(${changelog} log)
  set(metainfo_releases "")
  foreach(version IN LISTS log_VERSIONS)
    string(APPEND metainfo_releases
      "    <release version=\"${version}\" date=\"${log_DAY_${version}}\">\n"
      "      <description>\n        <ul>\n")
    foreach(item IN LISTS log_ITEMS_${version})
      vortalux_restore(item)
      vortalux_xml_text("${item}" item)
      string(APPEND metainfo_releases "          <li>${item}</li>\n")
    endforeach()
    string(APPEND metainfo_releases "        </ul>\n      </description>\n    </release>\n")
  endforeach()
  set(metainfo_id ${VORTALUX_METAINFO_ID})
  vortalux_xml_text("${summary}" metainfo_summary)
  vortalux_xml_text("${about}" metainfo_about)
  configure_file(${template} ${out} @ONLY)
endfunction()
