// An 8-bit accumulator, the device under test of the vecdrive example.
//
//   op 0  hold            op 2  load from the data bus
//   op 1  add din         op 3  exclusive-or with din
//
// rst clears the accumulator at once (asynchronously).  carry is the carry
// out of the last add and means nothing before the first one (the table
// qualifies its compare with a valid column).  While oe is 1 the device
// drives the accumulator onto the bidirectional data bus.
module acc8(clk, rst, op, din, oe, data, sum, carry);
  input        clk;
  input        rst;
  input  [1:0] op;
  input  [7:0] din;
  input        oe;
  inout  [7:0] data;
  output [7:0] sum;
  output       carry;

  reg    [7:0] acc;
  reg          carry;

  assign sum = acc;
  assign data = oe ? acc : 8'bz;

  always @(posedge clk or posedge rst)
    if (rst)
      acc <= 8'h00;
    else
      case (op)
        2'd1: {carry, acc} <= acc + din;
        2'd2: acc <= data;
        2'd3: acc <= acc ^ din;
        default: acc <= acc;
      endcase
endmodule
