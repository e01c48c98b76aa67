-- Makes the manual page brimlet-sim(1) from docs/brimlet-sim.md, the manual's own text (pandoc -L): the page's NAME
-- and SYNOPSIS first, then the manual's sections as the page's, without its title, pictures and links.

local synopsis = "brimlet-sim [OPTIONS] [--] [FLAGS]"

function Header(header)
  if header.level == 1 then
    return {}
  end
  header.level = header.level - 1
  if header.level == 1 then
    return pandoc.Header(1, pandoc.utils.stringify(header):upper())
  end
  return header
end

-- A picture of the window says nothing on a terminal.
function Para(para)
  if #para.content == 1 and para.content[1].t == "Image" then
    return {}
  end
end

function Image(image)
  return {}
end

function Link(link)
  return link.content
end

function Pandoc(doc)
  local front = {
    pandoc.Header(1, "NAME"),
    pandoc.Para({pandoc.Str("brimlet-sim"), pandoc.Space(), pandoc.Str("-"), pandoc.Space(),
                 pandoc.Str("the brimlet test program on a simulated handheld device")}),
    pandoc.Header(1, "SYNOPSIS"),
    pandoc.Para({pandoc.Code(synopsis)}),
    pandoc.Header(1, "DESCRIPTION"),
    -- Left-aligned and unhyphenated: the tables' narrow columns cannot be justified without troff's warnings.
    pandoc.RawBlock("man", ".na"),
    pandoc.RawBlock("man", ".nh"),
  }
  for _, block in ipairs(doc.blocks) do
    table.insert(front, block)
  end
  doc.blocks = front
  doc.meta.title = "BRIMLET-SIM"
  doc.meta.section = "1"
  return doc
end

-- A table's columns within an 80-column page, each at least as wide as its longest word, so that a cell's text wraps
-- within its column. Pandoc gives a table 70 ens.
function Table(tbl)
  local longest, word = {}, {}
  local function measure(rows)
    for _, row in ipairs(rows) do
      for index, cell in ipairs(row.cells) do
        local text = pandoc.utils.stringify(cell.contents)
        longest[index] = math.max(longest[index] or 0, #text + 1)
        for each in text:gmatch("%S+") do
          word[index] = math.max(word[index] or 0, #each + 1)
        end
      end
    end
  end
  measure(tbl.head.rows)
  for _, body in ipairs(tbl.bodies) do
    measure(body.body)
  end
  -- Every column takes its longest word, and the rest of the line goes to those that wrap, by how much they would.
  local line = 64 - 3 * (#tbl.colspecs - 1)
  local spare, wrapping = line, 0
  for index = 1, #tbl.colspecs do
    spare = spare - word[index]
    wrapping = wrapping + longest[index] - word[index]
  end
  for index, spec in ipairs(tbl.colspecs) do
    local width = word[index]
    if wrapping > 0 then
      width = math.min(longest[index], width + spare * (longest[index] - word[index]) / wrapping)
    end
    tbl.colspecs[index] = {spec[1], width / 70}
  end
  return tbl
end
