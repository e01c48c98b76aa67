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

-- A table becomes a list of tagged paragraphs, as a manual page lays out its options: a row's first cell is the
-- tag, the others its paragraphs, after the first named by their column's heading. Tables would need tbl, whose
-- blocks of text warn where a page breaks inside them.
local function inlines(blocks)
  local result = {}
  for _, block in ipairs(blocks) do
    if block.content then
      for _, inline in ipairs(block.content) do
        table.insert(result, inline)
      end
    end
  end
  return result
end

function Table(tbl)
  local headings = {}
  for index, cell in ipairs(tbl.head.rows[1] and tbl.head.rows[1].cells or {}) do
    headings[index] = pandoc.utils.stringify(cell.contents)
  end
  local items = {}
  for _, body in ipairs(tbl.bodies) do
    for _, row in ipairs(body.body) do
      local paragraphs = {}
      for index = 2, #row.cells do
        local text = inlines(row.cells[index].contents)
        if index > 2 and headings[index] then
          table.insert(text, 1, pandoc.Str(headings[index] .. ":"))
          table.insert(text, 2, pandoc.Space())
        end
        table.insert(paragraphs, pandoc.Para(text))
      end
      table.insert(items, {inlines(row.cells[1].contents), {paragraphs}})
    end
  end
  return pandoc.DefinitionList(items)
end
